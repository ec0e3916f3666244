// Script mode: runs the commands of a script file against the simulator with
// no user. Every message box is answered OK and must have been expected;
// every save dialog takes the answer queued for it. The run fails on an
// unexpected dialog, an unmet expectation or a command that cannot be done.
//
// This file reads the lines, finds each command in the table and checks the
// dialogs; the commands themselves, one table row and one handler each, are
// in ScriptCommands.cpp.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/ProgressRecorder.h"
#include "core/Files.h"
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
  // One command line: "NAME REST", REST also split into words.
  struct Command {
    std::wstring name, rest;
    std::vector<std::wstring> words;
  };
  // A row of the command table: the handler runs once the line has at
  // least wordsNeeded words after the name; false when the command failed.
  struct CommandEntry {
    const wchar_t* name;
    size_t wordsNeeded;
    bool (ScriptRunner::*run)(const Command&);
  };
  static const std::vector<CommandEntry>& commandTable();

  bool execute(const Command& command);
  void collectDialogs();  // transcribes and checks what the dialogs showed
  void fail(const std::wstring& why);
  // Transcribes "WHAT -> ok" or "WHAT -> error N" (the system error); a failure fails the run.
  bool fileCommand(const std::wstring& what, bool done);

  // The handlers (ScriptCommands.cpp), in the order of the table.
  bool open(const Command& command);
  bool activateOrClose(const Command& command);
  bool addin(const Command& command);
  bool menu(const Command& command);
  bool invoke(const Command& command);
  bool call(const Command& command);
  bool answerSave(const Command& command);
  bool expectMessage(const Command& command);
  bool planAnswer(const Command& command);  // fail, refuse, odd
  bool callLog(const Command& command);
  bool documents(const Command& command);
  bool newDocument(const Command& command);
  bool makeFolder(const Command& command);
  bool deleteFile(const Command& command);
  bool copyFile(const Command& command);
  bool writeFile(const Command& command);
  bool lock(const Command& command);
  bool unlock(const Command& command);
  bool newTree(const Command& command);
  bool dump(const Command& command);
  bool picture(const Command& command);
  bool newPart(const Command& command);
  bool newAssembly(const Command& command);
  bool progressPicture(const Command& command);

  Simulator& simulator_;
  Transcript& transcript_;
  DialogResponder responder_;
  ProgressRecorder progress_;
  size_t eventsSeen_ = 0;
  std::deque<std::wstring> expectedMessages_;
  int failures_ = 0;
  int lineNumber_ = 0;
  std::vector<std::pair<std::wstring, FileHold>> locks_;  // files the script holds without sharing
};

}  // namespace hostsim
