// A readable text picture of a record, driven by its layout: one line per field,
// "name = value", for tools that show a universe file and for test failure output.
#pragma once

#include <string>

#include "universe/record.h"

namespace tarvik {

// The first line names the layout and its size. Every named field follows in offset
// order; an array field shows its elements as a list "[a, b, c]". Text is shown in
// double quotes with printable characters as they are and every other byte as \xNN;
// a text element that was never assigned (all zero bytes) shows as "(unset)".
// Unnamed fields appear only when some byte of them is not zero, labelled with their
// offset ("@80 = 5").
std::string DumpRecord(const Record& record);

}  // namespace tarvik
