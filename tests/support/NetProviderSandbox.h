// The stand-in network provider for a test program. The network provider
// router reads the registered providers once, when it is loaded with the
// program; so the program registers the provider, runs itself again as a
// child that finds it, and removes it when the child has ended.
#pragma once
#include <functional>
#include <string>

// In the first run: registers the providers of the network description
// (with the folders of its open shares), runs the program again and returns
// its exit code. In the second run: returns tests().
int RunWithNetProvider(const std::string& network, const std::function<int()>& tests);

// Serves another description while it lives. Its providers must be those
// registered; no share folders are made for it.
class ServedNetwork {
 public:
  explicit ServedNetwork(const std::string& network);
  ~ServedNetwork();
  ServedNetwork(const ServedNetwork&) = delete;
  ServedNetwork& operator=(const ServedNetwork&) = delete;

 private:
  std::string file_;
  std::string previous_;
};
