// runBatch: the planned levels converted side by side, their messages told level by level in order.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <variant>

#include "app/batch/BatchRun.h"
#include "app/batch/LargestFirst.h"
#include "app/run/StaleFiles.h"
#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const std::vector<BatchLevel>& plan) {
    std::vector<fs::path> inputs;
    for (const BatchLevel& l : plan) {
        inputs.push_back(l.options.lvzPath);
        inputs.push_back(l.options.imgPath);
        if (l.options.useZon) inputs.push_back(l.options.zonPath);
    }
    return inputs;
}

// Runs one level through the one level run; its failure is its result, never the batch's.
BatchLevelResult convertOne(const BatchLevel& level, const std::vector<fs::path>& inputs, const RunCallbacks& told) {
    BatchLevelResult r;
    r.level = level;
    // Warnings are counted here as well, so that a level that fails still shows how many it had.
    int warnings = 0;
    RunCallbacks run = told;
    run.warning = [&](WarningKind kind, const std::string& text) {
        ++warnings;
        if (told.warning) told.warning(kind, text);
    };
    try {
        for (const RunWarning& w : level.planWarnings) run.warning(w.kind, w.text);
        const ConversionOptions& o = level.options;
        if (!level.failure.empty()) throw VeldrinError(level.failure);
        // A level's run guards its own inputs when it cleans; the batch guards those of every level.
        if (o.clean) requireNoInputsInside(o.levelFolder(), inputs);
        // A level the plan kept is not read again.
        r.summary = convertLevel(level.read ? prepareReadLevel(o, std::move(*level.read), run) : prepareLevel(o, run), run);
        r.outcome = r.summary.stopped ? LevelOutcome::Stopped : LevelOutcome::Converted;
        r.staleFiles = r.summary.staleFiles;
    } catch (const std::exception& e) {
        r.outcome = LevelOutcome::Failed;
        r.reason = errorText(e);
        r.summary = RunSummary{};
    }
    r.summary.warnings = warnings;
    return r;
}

// The levels converted at once: one per thread of the budget, never more than there are levels. Each
// level's run keeps the whole budget for its own stages, so a level left running alone (the last, or a
// large one) still fills every core; while several run, the system shares the cores among them.
std::size_t levelsInFlight(const std::vector<BatchLevel>& plan) {
    if (plan.empty()) return 1;
    return std::clamp<std::size_t>(static_cast<std::size_t>(std::max(1, plan.front().options.jobs)), 1, plan.size());
}

// Two levels that write into the same folder (the same name and output folder) must not run at once:
// the later one runs after the earlier one, as one by one.
std::string folderKey(const BatchLevel& level) {
    return toLower(fs::absolute(level.options.levelFolder()).lexically_normal().string());
}

// What a level's run told, kept until it is that level's turn to be shown.
struct StatusTold {
    std::string text;
};
struct ProgressTold {
    int position, maximum;
};
struct WarningTold {
    WarningKind kind;
    std::string text;
};
struct EditionTold {
    GameVersion edition;
    bool detected;
};
using Told = std::variant<StatusTold, ProgressTold, WarningTold, EditionTold>;

// How often the shower fetches what the level it shows has told.
constexpr std::chrono::milliseconds kShowEvery{10};

struct LevelInFlight {
    std::vector<Told> backlog; // told and not yet shown
    bool started = false;
    bool done = false;
    BatchLevelResult result;
};

// The batch's shared state: which level is next to start, which one is shown, what each one told.
class ConcurrentBatch {
public:
    // `placed`: the levels at the front of the plan already placed; the planner places the others
    // through place() as it goes, and `planned` sees the whole plan before any level's messages.
    ConcurrentBatch(const std::vector<BatchLevel>& plan, const BatchCallbacks& callbacks, std::size_t placed = SIZE_MAX,
                    std::function<void(const std::vector<BatchLevel>&)> planned = {})
        : plan_(plan), callbacks_(callbacks), planned_(std::move(planned)), inputs_(inputsOf(plan)), keys_(plan.size()),
          levels_(plan.size()), order_(largestFirst(plan)) {
        placed_ = std::min(placed, plan.size());
        inFlight_ = levelsInFlight(plan); // read now: the planner may be placing the first level later
        for (std::size_t i = 0; i < placed_; ++i) keys_[i] = folderKey(plan[i]);
    }

    // Level i, and every level before it, is placed: it may start.
    void place(std::size_t i) {
        const std::lock_guard lock(mutex_);
        keys_[i] = folderKey(plan_[i]);
        placed_ = i + 1;
        changed_.notify_all();
    }
    // Planning ended early with an error: nothing further starts.
    void planFailed() {
        const std::lock_guard lock(mutex_);
        planFailed_ = stopped_ = true;
        changed_.notify_all();
    }

    std::vector<BatchLevelResult> run() {
        {
            std::vector<std::jthread> workers;
            struct Leave { // however showing ends, the workers start no further level
                ConcurrentBatch& batch;
                ~Leave() {
                    const std::lock_guard lock(batch.mutex_);
                    batch.leaving_ = true;
                    batch.changed_.notify_all();
                }
            } leave{*this};
            for (std::size_t t = 0; t < inFlight_; ++t) workers.emplace_back([this] { work(); });
            show();
        }
        std::vector<BatchLevelResult> results;
        for (std::size_t i = 0; i < plan_.size(); ++i) {
            if (!levels_[i].started) {
                levels_[i].result.level = plan_[i];
                levels_[i].result.outcome = LevelOutcome::Stopped;
            }
            results.push_back(std::move(levels_[i].result));
        }
        return results;
    }

private:
    // A worker: takes the first level of the start order that has not started and whose folder no
    // earlier level (in name order) still has to write.
    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            std::size_t i = plan_.size();
            changed_.wait(lock, [&] {
                i = startable();
                return leaving_ || stopped_ || started_ == plan_.size() || i < plan_.size();
            });
            if (leaving_ || stopped_ || started_ == plan_.size()) return;
            levels_[i].started = true;
            ++started_;
            changed_.notify_all(); // the shower may be waiting for this level to start
            lock.unlock();
            BatchLevelResult result = convertOne(plan_[i], inputs_, toldBy(i));
            lock.lock();
            if (result.outcome == LevelOutcome::Stopped) stopped_ = true;
            levels_[i].result = std::move(result);
            levels_[i].done = true;
            changed_.notify_all();
        }
    }

    std::size_t startable() const {
        for (std::size_t i : order_)
            if (i < placed_ && !levels_[i].started && mayStart(i)) return i;
        return plan_.size();
    }

    bool mayStart(std::size_t i) const {
        for (std::size_t j = 0; j < i; ++j)
            if (!levels_[j].done && keys_[j] == keys_[i]) return false;
        return true;
    }

    // The level's callbacks: each message goes to the level's backlog, which the shower fetches a
    // hundred times a second at most: a level tells of every model, and waking the shower for each
    // message cost thousands of thread switches a run. stopRequested is asked from the level's own
    // thread.
    RunCallbacks toldBy(std::size_t i) {
        RunCallbacks cb;
        cb.status = [this, i](const std::string& text) { tell(i, StatusTold{text}); };
        cb.progress = [this, i](int position, int maximum) { tell(i, ProgressTold{position, maximum}); };
        cb.warning = [this, i](WarningKind kind, const std::string& text) { tell(i, WarningTold{kind, text}); };
        if (callbacks_.run.edition)
            cb.edition = [this, i](GameVersion edition, bool detected) { tell(i, EditionTold{edition, detected}); };
        cb.stopRequested = callbacks_.run.stopRequested;
        return cb;
    }

    void tell(std::size_t i, Told told) {
        const std::lock_guard lock(mutex_);
        std::vector<Told>& backlog = levels_[i].backlog;
        // Only the last position of a run of progress steps matters to whoever shows it later.
        if (!backlog.empty() && std::holds_alternative<ProgressTold>(told) && std::holds_alternative<ProgressTold>(backlog.back()))
            backlog.back() = std::move(told);
        else backlog.push_back(std::move(told));
    }

    // On the calling thread: each level's messages through the batch's callbacks, level after level in
    // order, so the front ends see exactly what one by one would have shown them.
    void show() {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return placed_ == plan_.size() || planFailed_; });
            if (planFailed_) return;
        }
        if (planned_) planned_(plan_);
        for (std::size_t i = 0; i < plan_.size(); ++i) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return levels_[i].started || stopped_ || started_ == plan_.size(); });
            if (!levels_[i].started) continue; // stopped before it began: nothing to tell, as one by one
            lock.unlock();
            if (callbacks_.levelStarts) callbacks_.levelStarts(plan_[i], i);
            for (;;) {
                lock.lock();
                changed_.wait_for(lock, kShowEvery, [&] { return levels_[i].done; });
                std::vector<Told> told = std::move(levels_[i].backlog);
                levels_[i].backlog.clear();
                const bool done = levels_[i].done;
                lock.unlock();
                for (Told& t : told) pass(t);
                if (done) break;
            }
            if (callbacks_.levelEnds) callbacks_.levelEnds(levels_[i].result);
        }
    }

    void pass(const Told& told) const {
        const RunCallbacks& cb = callbacks_.run;
        if (const auto* s = std::get_if<StatusTold>(&told)) {
            if (cb.status) cb.status(s->text);
        } else if (const auto* p = std::get_if<ProgressTold>(&told)) {
            if (cb.progress) cb.progress(p->position, p->maximum);
        } else if (const auto* w = std::get_if<WarningTold>(&told)) {
            if (cb.warning) cb.warning(w->kind, w->text);
        } else if (const auto* e = std::get_if<EditionTold>(&told)) {
            if (cb.edition) cb.edition(e->edition, e->detected);
        }
    }

    const std::vector<BatchLevel>& plan_;
    const BatchCallbacks& callbacks_;
    const std::function<void(const std::vector<BatchLevel>&)> planned_;
    const std::vector<fs::path> inputs_;
    std::vector<std::string> keys_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<LevelInFlight> levels_;
    const std::vector<std::size_t> order_; // the order levels start in: ids, names and messages stay in name order
    std::size_t started_ = 0;               // levels started
    bool stopped_ = false;   // a level was stopped: no further level starts
    bool leaving_ = false;
    std::size_t placed_ = 0;  // the levels at the front of the plan that are placed
    bool planFailed_ = false;
    std::size_t inFlight_ = 1;
};

} // namespace

std::vector<BatchLevelResult> planAndRunBatch(const std::vector<fs::path>& levels, const BatchSettings& settings,
                                              const std::function<void(const std::vector<BatchLevel>&)>& planned,
                                              const BatchCallbacks& callbacks) {
    if (settings.options.jobs <= 1 || levels.size() <= 1) {
        // One thread: the plan whole first, then the levels one after another.
        const std::vector<BatchLevel> plan = planBatch(levels, settings);
        if (planned) planned(plan);
        return runBatch(plan, callbacks);
    }
    std::vector<BatchLevel> plan = levelsToPlan(levels, settings);
    LevelNamePlanner names(ReservedContent{}, IdRule{settings.options.idOffset, false});
    ConcurrentBatch batch(plan, callbacks, 0, planned);
    std::exception_ptr planFailure;
    std::vector<BatchLevelResult> results;
    {
        const std::jthread planner([&] {
            try {
                // The levels that start at once keep their reading for their runs.
                placeLevelsAsRead(plan, settings.options.jobs, names, [&](std::size_t i) { batch.place(i); }, levelsInFlight(plan));
            } catch (...) {
                planFailure = std::current_exception();
                batch.planFailed();
            }
        });
        results = batch.run();
    }
    if (planFailure) std::rethrow_exception(planFailure);
    return results;
}

std::vector<BatchLevelResult> runBatch(const std::vector<BatchLevel>& plan, const BatchCallbacks& callbacks) {
    if (levelsInFlight(plan) > 1) return ConcurrentBatch(plan, callbacks).run();
    // One at a time: each level on the calling thread, its messages passed straight on.
    const std::vector<fs::path> inputs = inputsOf(plan);
    std::vector<BatchLevelResult> results;
    bool stopped = false;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (stopped) {
            BatchLevelResult r;
            r.level = plan[i];
            r.outcome = LevelOutcome::Stopped;
            results.push_back(std::move(r));
            continue;
        }
        if (callbacks.levelStarts) callbacks.levelStarts(plan[i], i);
        results.push_back(convertOne(plan[i], inputs, callbacks.run));
        stopped = results.back().outcome == LevelOutcome::Stopped;
        if (callbacks.levelEnds) callbacks.levelEnds(results.back());
    }
    return results;
}

} // namespace veldrin
