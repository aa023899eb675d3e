// After-write events that would arm one another at delay 0 without end.
#include "model_reader.h"

namespace quorel::card_model {

namespace {

using Graph = std::vector<std::vector<size_t>>;

bool SameRegister(const Target& a, const Target& b) {
    return a.status == b.status && (a.status || a.index == b.index);
}

// Which events each event's actions can arm at delay 0 (indexes into zero).
Graph ArmsAtOnce(const std::vector<const Event*>& zero) {
    Graph arms(zero.size());
    for (size_t from = 0; from < zero.size(); ++from)
        for (size_t to = 0; to < zero.size(); ++to)
            for (const Action& action : zero[from]->actions)
                if (CanArm(action, *zero[to]->after_write)) {
                    arms[from].push_back(to);
                    break;
                }
    return arms;
}

std::vector<bool> Reachable(const Graph& graph, size_t from) {
    std::vector<bool> seen(graph.size());
    std::vector<size_t> stack = graph[from];
    while (!stack.empty()) {
        const size_t at = stack.back();
        stack.pop_back();
        if (seen[at])
            continue;
        seen[at] = true;
        stack.insert(stack.end(), graph[at].begin(), graph[at].end());
    }
    return seen;
}

void Report(const std::vector<size_t>& cycle, const std::vector<const Event*>& zero,
            Problems* problems) {
    std::string lines;
    for (size_t i : cycle)
        lines += (lines.empty() ? "" : ", ") + std::to_string(zero[i]->line);
    const std::string which = cycle.size() == 1 ? "the event at line " + lines + " arms itself"
                                                : "the events at lines " + lines + " arm each other";
    problems->Add(zero[cycle[0]]->line, which + " with delay_us = 0 and would fire without end, "
                                                "expected a delay_us above 0 on the way");
}

}  // namespace

bool CanArm(const Action& action, const Target& armed_by) {
    if (action.kind == Action::Kind::kReset || !SameRegister(action.target, armed_by))
        return false;
    if (!armed_by.field)
        return true;
    const uint8_t bits = action.target.mask & armed_by.mask;
    switch (action.kind) {
    case Action::Kind::kClear: return false;
    case Action::Kind::kWrite: {
        int low = 0;
        while (!(action.target.mask >> low & 1))
            ++low;
        return (action.value << low) & bits;
    }
    default: return bits != 0;
    }
}

void CheckEventCycles(const CardModel& model, Problems* problems) {
    std::vector<const Event*> zero;
    for (const Event& event : model.events)
        if (event.after_write && event.delay_us == 0)
            zero.push_back(&event);
    const Graph arms = ArmsAtOnce(zero);
    std::vector<bool> reported(zero.size());
    for (size_t i = 0; i < zero.size(); ++i) {
        const std::vector<bool> from_i = Reachable(arms, i);
        if (reported[i] || !from_i[i])
            continue;
        std::vector<size_t> cycle;
        for (size_t j = i; j < zero.size(); ++j)
            if (from_i[j] && Reachable(arms, j)[i]) {
                cycle.push_back(j);
                reported[j] = true;
            }
        Report(cycle, zero, problems);
    }
}

}  // namespace quorel::card_model
