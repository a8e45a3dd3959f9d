// The user's side of the program: results on standard output, messages on
// standard error, and the question before a change, asked only on a terminal.
#pragma once

#include <string>

class Console {
 public:
  virtual ~Console() = default;
  // One result line (without its line end).
  virtual void Result(const std::string& line) = 0;
  // One message line (without its line end).
  virtual void Message(const std::string& line) = 0;
  // True when a user can answer a question: standard input is a terminal.
  virtual bool IsInteractive() = 0;
  // Asks and returns the answer line; empty at the end of the input.
  virtual std::string Ask(const std::string& question) = 0;
};

// Standard output, standard error and standard input of the process.
class StandardConsole : public Console {
 public:
  // The errno of the first result that could not be written; 0 when none.
  int WriteError() const { return writeError_; }
  void Result(const std::string& line) override;
  void Message(const std::string& line) override;
  bool IsInteractive() override;
  std::string Ask(const std::string& question) override;

 private:
  int writeError_ = 0;
};

// True for an answer that means yes: "y" or "yes" in any case, blanks around.
bool IsYes(const std::string& answer);
