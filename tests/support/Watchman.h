// Watches the tests of this program from a thread of its own, so that what
// holds a test makes it fail soon, saying what held it, rather than waiting
// until the run's time is up:
// - a message box of this process that nobody answers within 15 s fails the
//   running test and is answered as Escape would answer it;
// - a test that runs for longer than 45 s, longer than any test takes,
//   waits for something that does not come: the program ends with exit
//   code 3, naming the test and the windows it shows.
#pragma once

void WatchTheTests();
