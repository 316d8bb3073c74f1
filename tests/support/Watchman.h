// Watches the tests of this program from a thread of its own: a test that
// runs for longer than any test takes waits for something that does not
// come (a window, a message box nobody answers, a program that does not
// end). The program then ends with exit code 3, naming the test and the
// windows it shows, rather than when the run's time is up.
#pragma once

void WatchTheTests();
