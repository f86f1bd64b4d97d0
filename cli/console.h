// What the console front end needs of the platform's console.
#pragma once

namespace sw {

// Puts stdout in binary mode, so that "\r\n" reaches it unchanged.
void setBinaryStdout();

// True when stderr is a terminal.
bool stderrIsTerminal();

}  // namespace sw
