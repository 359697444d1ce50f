#pragma once

namespace kestrum {

// Answers --help and --version on the terminal and ends the program, before any display, lock or
// file is touched. Returns for anything else, which is left to Qt (-platform, -style, ...).
void AnswerCommandLine(int argc, char** argv);

// Names the program: application and organisation name, version.
void DescribeApplication();

}  // namespace kestrum
