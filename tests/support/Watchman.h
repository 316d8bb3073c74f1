// Watches the tests of this program from a thread of its own: a test that runs
// longer than any test takes waits for what does not come (a window, a message
// box nobody answers, a program that does not end). This program and those it
// started then end, with exit code 3, naming the test and the windows it shows.
#pragma once

void WatchTheTests();
