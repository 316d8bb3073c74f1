// The error trap of a guarded procedure.
//
// A procedure declares one trap that names its module and itself, then runs
// each statement through it with the statement's line number:
//
//   vbwTrap trap(L"Global", L"Main");
//   trap(1, [&] { vbwInitialize(); });
//   trap(2, [&] { ... });
//
// When a statement fails (a run-time error, or a processor exception turned
// into error 65535), the trap hands the error to vbwErrHandler and carries
// out its answer: 3 ends the program, 4 runs the statement again, 5 goes on
// with the next statement, 7 breaks into an attached debugger and runs the
// statement again, anything else leaves the procedure normally: every later
// statement of the procedure is then passed over, and the procedure returns
// what it holds at that moment. Loops test Leaving() to stop early. A report
// request leaves too, once the report is done: the statement that failed is
// not run again.
#pragma once
#include <cstdint>
#include <exception>
#include <utility>

class vbwTrap {
 public:
  vbwTrap(const wchar_t* module, const wchar_t* procedure)
      : module_(module), procedure_(procedure), outer_(running_) {
    running_ = this;
  }
  ~vbwTrap() { running_ = outer_; }
  vbwTrap(const vbwTrap&) = delete;
  vbwTrap& operator=(const vbwTrap&) = delete;

  // Runs one statement; false once the procedure is leaving.
  template <class Statement>
  bool operator()(int32_t line, Statement&& statement) {
    while (!leaving_) {
      std::exception_ptr failure;
      try {
        line_ = line;
        statement();
        return true;
      } catch (...) {
        failure = std::current_exception();
      }
      switch (Answer(line, std::move(failure))) {
        case Next::Retry: continue;
        case Next::Skip: return true;
        case Next::Leave: leaving_ = true; break;
      }
    }
    return false;
  }

  bool Leaving() const { return leaving_; }

  // Hands an error that escaped to where Windows calls in to the handler,
  // as an error of this procedure; nothing is run again.
  void Report(std::exception_ptr failure) { (void)Answer(0, std::move(failure)); }

  // The innermost guarded procedure running on this thread, null outside
  // any: where a fault that no trap could catch is reported.
  static const vbwTrap* Running() { return running_; }
  const wchar_t* Module() const { return module_; }
  const wchar_t* Procedure() const { return procedure_; }
  int32_t Line() const { return line_; }

 private:
  enum class Next { Retry, Skip, Leave };
  Next Answer(int32_t line, std::exception_ptr failure);

  const wchar_t* module_;
  const wchar_t* procedure_;
  int32_t line_ = 0;
  bool leaving_ = false;
  const vbwTrap* outer_;
  static inline thread_local const vbwTrap* running_ = nullptr;
};
