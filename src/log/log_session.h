// The run log's part of the session.
#pragma once

#include "log/run_log.h"
#include "platform/platform_session.h"

namespace tarvik {

struct LogSession : PlatformSession {
  RunLog log;
};

}  // namespace tarvik
