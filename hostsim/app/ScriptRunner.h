// Script mode: runs the commands of a script file against the simulator with
// no user. Every message box is answered OK and must have been expected;
// every save dialog takes the answer queued for it. The run fails on an
// unexpected dialog, an unmet expectation or a command that cannot be done.
#pragma once

#include <deque>
#include <utility>
#include <string>
#include <vector>

#include "core/Simulator.h"
#include "responder/DialogResponder.h"
#include "responder/Transcript.h"

namespace hostsim {

class ScriptRunner {
 public:
  ScriptRunner(Simulator& simulator, Transcript& transcript);
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Runs every line of the file; true when everything held.
  bool runFile(const std::wstring& path);
  bool runLine(const std::wstring& line, int number);  // false when the line failed
  // Add-ins loaded at start (the Apps folder, /addin): transcribed like the addin command.
  void loadStartupAddins(const std::wstring& appsFolder, const std::vector<std::wstring>& paths);
  bool finish();  // checks that every expectation was met

  // "\n" is a line break and "\\" a backslash; any other backslash stays.
  static std::wstring unescape(const std::wstring& text);
  static std::vector<std::wstring> splitWords(const std::wstring& text);  // "double quotes" group words

 private:
  bool execute(const std::wstring& command, const std::wstring& rest, const std::vector<std::wstring>& words);
  void collectDialogs();  // transcribes and checks what the dialogs showed
  void fail(const std::wstring& why);
  // Transcribes "WHAT -> ok" or "WHAT -> error N" (the system error); a failure fails the run.
  bool fileCommand(const std::wstring& what, bool done);
  void releaseLocks();

  Simulator& simulator_;
  Transcript& transcript_;
  testsupport::DialogResponder responder_;
  size_t eventsSeen_ = 0;
  std::deque<std::wstring> expectedMessages_;
  int failures_ = 0;
  int lineNumber_ = 0;
  std::vector<std::pair<std::wstring, void*>> locks_;  // files the script holds without sharing
};

}  // namespace hostsim
