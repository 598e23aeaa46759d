#pragma once
// Terminal input and output for the command-line tool.
#include "platform/Prompter.h"
#include "util/FileCopy.h"

#include <QString>

namespace console {

void out(const QString& line); // a line on standard output
// Text on standard output as it stands, its lines ending in "\n", left in the buffer:
// for output written in parts (a line written with out follows it and flushes).
void outText(const QString& text);
void err(const QString& line); // a line on standard error
bool stdinIsTerminal();
bool stderrIsTerminal();
// Asks a yes/no question on the terminal; false on anything but y/yes.
bool askYesNo(const QString& question);
// Presents message boxes as lines on standard error; confirmations are asked on the
// terminal when there is one, and declined otherwise.
PromptAnswer present(const Prompt& prompt);
// A one-line progress bar on standard error (only when it is a terminal).
CopyObserver progressBar();

} // namespace console
