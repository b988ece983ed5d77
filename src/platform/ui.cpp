#include "platform/ui.h"

#include <unistd.h>

#include <iostream>

namespace tarvik {

std::string ConsoleMessageLine(const std::string& title, const std::string& text) {
  std::string body;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      body += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      body += text[i];
    }
  }
  return title.empty() ? body : title + ": " + body;
}

void UserInterface::ShowStepError(const std::string& message, const std::string& reason) {
  ShowMessage("", message, MessageIcon::None);
  if (!reason.empty()) Notice(reason);
}

void UserInterface::Notice(const std::string& line) { std::cerr << ConsoleMessageLine("", line) << std::endl; }

void ConsoleUserInterface::Notice(const std::string& line) { err_ << ConsoleMessageLine("", line) << std::endl; }

void ConsoleUserInterface::ShowMessage(const std::string& title, const std::string& text, MessageIcon) {
  err_ << ConsoleMessageLine(title, text) << std::endl;
}

bool ConsoleUserInterface::AskYesNo(const std::string& title, const std::string& text) {
  err_ << ConsoleMessageLine(title, text) << (yesNoAnswer ? " Yes" : " No") << std::endl;
  return yesNoAnswer;
}

void ConsoleOutputView::SetLogText(const std::string&, const std::string& newLine) {
  if (!newLine.empty()) {
    // The logged line ends with CR LF; the console wants a plain line break.
    std::string_view line = newLine;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    out_ << line << '\n';
  }
}

void ConsoleOutputView::SetTimeLabel(const std::string& text) {
  if (text == "Finished") out_ << "Finished" << std::endl;
}

void ConsoleOutputView::SetGameFileLabel(const std::string& text) { out_ << "Universe file: " << text << '\n'; }

void ConsoleOutputView::Print(const std::string& text) { out_ << text << std::flush; }

void ConsoleOutputView::WaitForDone() {
  out_.flush();
  if (::isatty(STDIN_FILENO)) {
    out_ << "Press Enter when done." << std::endl;
    std::string line;
    std::getline(std::cin, line);
  }
}

}  // namespace tarvik
