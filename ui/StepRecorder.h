// What the window logic tells about each adapter step when it ends, for
// whoever keeps records of them. The window logic only hands the step out;
// where it goes (a database, a test's list) is the front end's business.
#pragma once

#include "protocol/Outcome.h"
#include "protocol/Verify.h"

#include <string>

namespace nw {

// One adapter, one step: who it was, what was done to it and how it ended.
struct StepRecord {
    std::string port{};         // the device the main window opened
    std::string role{};         // master, slave1..slave4, slave, adapter
    std::string address{};      // as read from the adapter; empty when not read
    std::string name{};         // as read from the adapter; empty when not read
    std::string operation{};    // check, master, slave, verify, wizard-master, ...
    std::string settings{};     // what was written, "S46=...;S53=1;S10=1"
    std::string verification{}; // empty, "verified" or "N field(s) differ: S46,S10"
    std::string outcome{};      // "succeeded", "failed: TEXT", "line-gone: TEXT"
    // The first step of a run: this step and those after it share a new run.
    bool startsRun = true;
};

class IStepRecorder {
  public:
    virtual ~IStepRecorder() = default;
    // Called once when a step has ended, on the thread that ran it.
    virtual void StepEnded(const StepRecord& step) = 0;
};

// "succeeded", or the failure kind and its message.
std::string OutcomeText(const Outcome& outcome);

// The registers a master or slave setting writes, as "S46=...;S53=1;S10=1";
// a master's slave registers without an address hold 000000000000.
std::string SettingsText(const IntendedSettings& intended);

// "verified", or "N field(s) differ: S46,S10", or what could not be read.
std::string VerificationText(const Readback& readback);

// The value of a report line ("Address: 0001950A1B2C" -> "0001950A1B2C").
std::string ReportValue(const std::string& line);

} // namespace nw
