// After-write events that would arm one another at delay 0 without end.
#include <algorithm>
#include <limits>

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

// The stack's nodes down to root: a component found.
std::vector<size_t> PopComponent(size_t root, std::vector<size_t>* stack, std::vector<bool>* on_stack) {
    std::vector<size_t> component;
    do {
        component.push_back(stack->back());
        (*on_stack)[stack->back()] = false;
        stack->pop_back();
    } while (component.back() != root);
    return component;
}

// The graph's strongly connected components (Tarjan's, with a stack of
// its own rather than recursion: a file may hold many events).
std::vector<std::vector<size_t>> Components(const Graph& graph) {
    constexpr size_t kUnseen = std::numeric_limits<size_t>::max();
    std::vector<size_t> order(graph.size(), kUnseen), low(graph.size()), stack;
    std::vector<bool> on_stack(graph.size());
    std::vector<std::pair<size_t, size_t>> calls;  // (node, its next edge)
    std::vector<std::vector<size_t>> components;
    size_t counter = 0;
    const auto visit = [&](size_t node) {
        order[node] = low[node] = counter++;
        stack.push_back(node);
        on_stack[node] = true;
        calls.emplace_back(node, 0);
    };
    for (size_t root = 0; root < graph.size(); ++root) {
        if (order[root] == kUnseen)
            visit(root);
        while (!calls.empty()) {
            const size_t node = calls.back().first;
            if (calls.back().second < graph[node].size()) {
                const size_t next = graph[node][calls.back().second++];
                if (order[next] == kUnseen)
                    visit(next);
                else if (on_stack[next])
                    low[node] = std::min(low[node], order[next]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().first] = std::min(low[calls.back().first], low[node]);
            if (low[node] == order[node])
                components.push_back(PopComponent(node, &stack, &on_stack));
        }
    }
    return components;
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
    std::vector<std::vector<size_t>> cycles;
    for (std::vector<size_t>& component : Components(arms)) {
        const size_t first = component[0];
        const bool self = std::find(arms[first].begin(), arms[first].end(), first) != arms[first].end();
        if (component.size() > 1 || self) {
            std::sort(component.begin(), component.end());
            cycles.push_back(std::move(component));
        }
    }
    std::sort(cycles.begin(), cycles.end());
    for (const std::vector<size_t>& cycle : cycles)
        Report(cycle, zero, problems);
}

}  // namespace quorel::card_model
