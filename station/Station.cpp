#include "station/Station.h"

#include "protocol/Conversations.h"
#include "protocol/Dialect.h"
#include "protocol/Verify.h"
#include "station/StationLine.h"
#include "station/StationTexts.h"
#include "ui/StepRecorder.h"

#include <array>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace nw::station {

const char* OutcomeName(StepOutcome outcome) {
    switch (outcome) {
    case StepOutcome::Succeeded:
        return "succeeded";
    case StepOutcome::Failed:
        return "failed";
    case StepOutcome::LineGone:
        return "line-gone";
    case StepOutcome::Differs:
        return "differs";
    }
    return "failed";
}

namespace {

using Lines = std::vector<std::unique_ptr<CStationLine>>;

// Runs `step` on each of `lines` at once, one thread per line.
template <class Step> void SideBySide(const std::vector<CStationLine*>& lines, Step step) {
    std::vector<std::thread> threads;
    threads.reserve(lines.size());
    for (CStationLine* line : lines)
        threads.emplace_back([line, &step] { step(*line); });
    for (std::thread& t : threads)
        t.join();
}

class CStationRun {
  public:
    CStationRun(const StationOptions& options, IPacer& pacer, const EventSink& sink)
        : m_options(options), m_sink(sink),
          m_size(static_cast<NetworkSize>(static_cast<int>(options.slavePorts.size()) - 2)) {
        m_lines.push_back(
            std::make_unique<CStationLine>("master", options.masterPort, pacer, options));
        for (std::size_t k = 0; k < options.slavePorts.size(); ++k)
            m_lines.push_back(std::make_unique<CStationLine>(
                "slave" + std::to_string(k + 1), options.slavePorts[k], pacer, options));
    }
    ~CStationRun() {
        for (auto& line : m_lines)
            line->Close();
    }
    CStationRun(const CStationRun&) = delete;
    CStationRun& operator=(const CStationRun&) = delete;

    StationResult Run() {
        for (auto& line : m_lines) {
            if (!line->Open()) {
                Emit(line->Event("open",
                                 std::string(text::kPortOpenError) + ": " +
                                     line->OpenFailure().Describe(),
                                 StepOutcome::Failed));
                return {StationVerdict::NotStarted, m_failure};
            }
        }
        if (!ReadMaster() || !SetSlaves() || !SetMaster())
            return {StationVerdict::StepFailed, m_failure};
        if (m_options.verify)
            return VerifyAll();
        return {StationVerdict::Complete, text::kComplete};
    }

  private:
    CStationLine& Master() { return *m_lines.front(); }
    std::vector<CStationLine*> Slaves() {
        std::vector<CStationLine*> slaves;
        for (std::size_t i = 1; i < m_lines.size(); ++i)
            slaves.push_back(m_lines[i].get());
        return slaves;
    }

    // Hands `e` on; the first event that did not succeed is the run's failure.
    void Emit(StationEvent e) {
        e.ended = std::chrono::system_clock::now();
        std::lock_guard lock(m_emitting);
        if (e.outcome != StepOutcome::Succeeded && m_failure.empty())
            m_failure = std::string(text::kFailed) + e.role + " " + e.port + ": " + e.text;
        if (m_sink)
            m_sink(e);
    }

    // What the master or a slave is given: written, recorded, read back.
    IntendedSettings Intended(bool master) {
        if (!master)
            return {.master = false,
                    .masterAddress = Master().Address(),
                    .disableResponse = m_options.disableResponse};
        IntendedSettings forMaster{
            .master = true, .mode = m_options.mode, .disableResponse = m_options.disableResponse};
        for (std::size_t k = 0; k + 1 < m_lines.size(); ++k)
            forMaster.slaves[k] = Slot(k + 1);
        return forMaster;
    }
    // The wizard's address slots: 0 the master, 1..4 the slaves in order.
    std::string Slot(std::size_t k) {
        if (k == 0)
            return Master().Address();
        return k < m_lines.size() ? m_lines[k]->Address() : cmd::kNoAddress;
    }

    // The wizard's first two master steps: detection and the multiple
    // connection query, then detection and the report into slot 0.
    bool ReadMaster() {
        CStationLine& master = Master();
        StepOutcome end = master.Judge(DetectDevice(master.Begin()));
        std::string failure = CStationLine::FailureText(end);
        if (end == StepOutcome::Succeeded) {
            end = master.Judge(CheckMultiConnection(master.Exchange()));
            failure = end == StepOutcome::Failed ? text::kNoMulti : CStationLine::FailureText(end);
        }
        if (end == StepOutcome::Succeeded) {
            master.Begin();
            const CStationLine::StepEnd read = master.Identify();
            end = read.outcome;
            failure = read.failure;
        }
        const bool ok = end == StepOutcome::Succeeded;
        Emit(master.Event("read-address", ok ? text::kAddressRead + master.Address() : failure,
                          end));
        return ok;
    }

    // The wizard's slave step on every slave at once: detection, the report
    // into its slot, the blind writes.
    bool SetSlaves() {
        const std::string masterAddress = Master().Address();
        const std::string settings = SettingsText(Intended(false));
        SideBySide(Slaves(), [&](CStationLine& slave) {
            slave.Begin();
            const CStationLine::StepEnd read = slave.Identify();
            if (read.outcome != StepOutcome::Succeeded) {
                Emit(slave.Event("set-slave", read.failure, read.outcome));
                return;
            }
            const StepOutcome end = slave.Judge(
                WriteWizardSlave(slave.Exchange(), masterAddress, m_options.disableResponse));
            const bool ok = end == StepOutcome::Succeeded;
            StationEvent e = slave.Event(
                "set-slave", ok ? text::kSlaveSuccess : CStationLine::FailureText(end), end);
            if (ok)
                e.settings = settings;
            Emit(e);
        });
        return m_failure.empty();
    }

    // The wizard's last master step: detection, in a 1:2 or 1:3 network the
    // report into the slot after the last slave's, the blind writes.
    bool SetMaster() {
        CStationLine& master = Master();
        const std::string address = master.Address();
        StepOutcome end = master.Judge(DetectDevice(master.Begin()));
        std::string failure = CStationLine::FailureText(end);
        if (end == StepOutcome::Succeeded && m_size != NetworkSize::OneToFour) {
            const CStationLine::StepEnd read = master.ReadReport();
            end = read.outcome;
            failure = read.failure;
            if (end == StepOutcome::Succeeded && master.Address() != address) {
                end = StepOutcome::Failed;
                failure = text::kOtherMaster;
            }
        }
        if (end == StepOutcome::Succeeded) {
            std::array<std::string, 5> slots;
            for (std::size_t k = 0; k < slots.size(); ++k)
                slots[k] = Slot(k);
            end = master.Judge(WriteWizardMaster(master.Exchange(), slots, m_size,
                                                 m_options.disableResponse, m_options.mode));
            failure = CStationLine::FailureText(end);
        }
        const bool ok = end == StepOutcome::Succeeded;
        StationEvent e = master.Event("set-master", ok ? text::kMasterSuccess : failure, end);
        if (ok)
            e.settings = SettingsText(Intended(true));
        Emit(e);
        return ok;
    }

    // Every adapter read back at once, as `verify` reads it.
    StationResult VerifyAll() {
        const IntendedSettings forMaster = Intended(true), forSlave = Intended(false);
        const std::string& masterAddress = forSlave.masterAddress;
        bool failed = false;
        bool differs = false;
        std::vector<CStationLine*> all = Slaves();
        all.insert(all.begin(), &Master());
        SideBySide(all, [&](CStationLine& line) {
            const bool isMaster = &line == &Master();
            const Readback r = VerifyAdapter(line.Begin(), isMaster ? forMaster : forSlave);
            StepOutcome end = line.Judge(r.kind);
            std::string verification = r.failure;
            if (end == StepOutcome::Succeeded) {
                std::string fields;
                for (const FieldCheck& f : r.fields)
                    fields += f.ok ? "" : " " + f.name;
                if (!fields.empty())
                    verification = fields.substr(1) + " differ";
                else if (isMaster && r.address != masterAddress)
                    verification = "this is not the master the slaves were given";
                end = verification.empty() ? StepOutcome::Succeeded : StepOutcome::Differs;
            }
            StationEvent e = line.Event(
                "verify",
                end == StepOutcome::Succeeded ? text::kVerified : text::kNotVerified + verification,
                end);
            e.verification = end == StepOutcome::Succeeded ? "verified" : verification;
            Emit(e);
            std::lock_guard lock(m_emitting);
            failed = failed || (end != StepOutcome::Succeeded && end != StepOutcome::Differs);
            differs = differs || end == StepOutcome::Differs;
        });
        if (failed)
            return {StationVerdict::StepFailed, m_failure};
        if (differs)
            return {StationVerdict::Differs, m_failure};
        return {StationVerdict::Complete, text::kComplete};
    }

    const StationOptions& m_options;
    const EventSink& m_sink;
    const NetworkSize m_size;
    Lines m_lines;
    std::mutex m_emitting;
    std::string m_failure; // the first failure's summary line
};

} // namespace

StationResult RunStation(const StationOptions& options, IPacer& pacer, const EventSink& sink) {
    if (options.slavePorts.size() < 2 || options.slavePorts.size() > 4)
        return {StationVerdict::NotStarted,
                std::string(text::kFailed) + "2 to 4 slave ports are needed"};
    CStationRun run(options, pacer, sink);
    return run.Run();
}

} // namespace nw::station
