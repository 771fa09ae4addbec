// Heads, tails and critical paths of a job shop's machine orders.
#include <algorithm>
#include <string>

#include <zurududo/disjunctive_graph.h>

namespace zurududo::heuristics {

namespace {

[[noreturn]] void refuse(const std::string& why) {
    throw schedule::Error(schedule::ErrorKind::argument, 999, "job shop: " + why);
}

}  // namespace

DisjunctiveGraph::DisjunctiveGraph(const schedule::JOBSHOP& instance)
    : jobs_(instance.jobs), machines_(instance.machines) {
    schedule::validate(instance);
    const auto ops = static_cast<std::size_t>(operations());
    machine_.resize(ops);
    duration_.resize(ops);
    release_.resize(static_cast<std::size_t>(jobs_));
    std::vector<int> seen(static_cast<std::size_t>(machines_), -1);
    for (int j = 0; j < jobs_; ++j) {
        release_[static_cast<std::size_t>(j)] = std::max(instance.r[j], 0);
        for (int k = 0; k < machines_; ++k) {
            const int i = instance.rt[j][k];
            if (seen[static_cast<std::size_t>(i)] == j)
                refuse("job " + std::to_string(j) + " visits machine " + std::to_string(i) +
                       " twice; every job has one operation on every machine");
            seen[static_cast<std::size_t>(i)] = j;
            const int p = instance.pt[i][j];
            if (p < 0)
                refuse("job " + std::to_string(j) + " has a negative processing time on machine " +
                       std::to_string(i));
            machine_[static_cast<std::size_t>(j * machines_ + k)] = i;
            duration_[static_cast<std::size_t>(j * machines_ + k)] = p;
        }
    }
    order_.resize(ops);
    position_.resize(ops);
    head_.resize(ops);
    tail_.resize(ops);
    topological_.reserve(ops);
    pending_.resize(ops);
    std::vector<int> by_job;
    by_job.reserve(ops);
    for (int j = 0; j < jobs_; ++j)
        for (int k = 0; k < machines_; ++k) by_job.push_back(j);
    assign(by_job);
}

void DisjunctiveGraph::assign(std::span<const int> sequence) {
    schedule::JOBSHOP shape{};
    shape.jobs = jobs_;
    shape.machines = machines_;
    schedule::validate_sequence(shape, sequence);
    std::vector<int> next(static_cast<std::size_t>(jobs_), 0);
    std::vector<int> filled(static_cast<std::size_t>(machines_), 0);
    for (int j : sequence) {
        const int op = j * machines_ + next[static_cast<std::size_t>(j)]++;
        const int i = machine(op);
        const int p = filled[static_cast<std::size_t>(i)]++;
        order_[static_cast<std::size_t>(i) * static_cast<std::size_t>(jobs_) + static_cast<std::size_t>(p)] = op;
        position_[static_cast<std::size_t>(op)] = p;
    }
    update();
}

int DisjunctiveGraph::machine_predecessor(int op) const {
    const int p = position_[static_cast<std::size_t>(op)];
    return p > 0 ? at(machine(op), p - 1) : none;
}

int DisjunctiveGraph::machine_successor(int op) const {
    const int p = position_[static_cast<std::size_t>(op)];
    return p + 1 < jobs_ ? at(machine(op), p + 1) : none;
}

long DisjunctiveGraph::job_head(int op) const {
    if (op % machines_ == 0) return release_[static_cast<std::size_t>(job(op))];
    return head(op - 1) + duration(op - 1);
}

long DisjunctiveGraph::job_tail(int op) const {
    if ((op + 1) % machines_ == 0) return 0;
    return tail(op + 1) + duration(op + 1);
}

// Heads in a topological order (Kahn's), tails in the reverse one.
void DisjunctiveGraph::update() {
    const int ops = operations();
    topological_.clear();
    for (int op = 0; op < ops; ++op) {
        const int count = (op % machines_ != 0 ? 1 : 0) + (position_[static_cast<std::size_t>(op)] > 0 ? 1 : 0);
        pending_[static_cast<std::size_t>(op)] = count;
        if (count == 0) topological_.push_back(op);
    }
    makespan_ = 0;
    auto release = [&](int op) {
        if (--pending_[static_cast<std::size_t>(op)] == 0) topological_.push_back(op);
    };
    for (std::size_t next = 0; next < topological_.size(); ++next) {
        const int op = topological_[next];
        const int before = machine_predecessor(op);
        long start = job_head(op);
        if (before != none) start = std::max(start, head(before) + duration(before));
        head_[static_cast<std::size_t>(op)] = start;
        makespan_ = std::max(makespan_, start + duration(op));
        if ((op + 1) % machines_ != 0) release(op + 1);
        const int after = machine_successor(op);
        if (after != none) release(after);
    }
    // Every change keeps the graph acyclic, so every operation was reached.
    for (auto it = topological_.rbegin(); it != topological_.rend(); ++it) {
        const int op = *it;
        const int after = machine_successor(op);
        long rest = job_tail(op);
        if (after != none) rest = std::max(rest, tail(after) + duration(after));
        tail_[static_cast<std::size_t>(op)] = rest;
    }
}

std::vector<int> DisjunctiveGraph::sequence() const {
    std::vector<int> jobs(topological_.size());
    std::transform(topological_.begin(), topological_.end(), jobs.begin(), [this](int op) { return job(op); });
    return jobs;
}

std::vector<int> DisjunctiveGraph::critical_path() const {
    std::vector<int> path;
    int op = 0;
    while (op < operations() && head(op) + duration(op) != makespan_) ++op;
    while (op != none && op < operations()) {
        path.push_back(op);
        const int before = machine_predecessor(op);
        if (before != none && head(before) + duration(before) == head(op)) op = before;
        else if (op % machines_ != 0 && head(op - 1) + duration(op - 1) == head(op)) op = op - 1;
        else op = none;
    }
    std::reverse(path.begin(), path.end());
    return path;
}

std::vector<int> DisjunctiveGraph::n5_moves() const {
    const std::vector<int> path = critical_path();
    std::vector<int> moves;
    if (path.empty()) return moves;
    const bool released = head(path.front()) > 0;
    std::size_t begin = 0;
    while (begin < path.size()) {
        std::size_t end = begin + 1;
        while (end < path.size() && machine(path[end]) == machine(path[begin])) ++end;
        if (end - begin >= 2) {
            const bool first = begin == 0;
            const bool last = end == path.size();
            if (!first || released) moves.push_back(path[begin]);
            if (!last && (end - begin > 2 || (first && !released))) moves.push_back(path[end - 2]);
        }
        begin = end;
    }
    return moves;
}

std::vector<int> DisjunctiveGraph::n1_moves() const {
    const std::vector<int> path = critical_path();
    std::vector<int> moves;
    for (std::size_t k = 0; k + 1 < path.size(); ++k)
        if (machine(path[k]) == machine(path[k + 1])) moves.push_back(path[k]);
    return moves;
}

bool DisjunctiveGraph::swap_closes_cycle(int u) const {
    const int v = machine_successor(u);
    if ((u + 1) % machines_ == 0) return false;
    const int first = u + 1;
    // Heads never decrease along a path: a path from u's job successor to v
    // needs that successor to end by v's head.
    if (head(first) + duration(first) > head(v)) return false;
    std::vector<char> seen(static_cast<std::size_t>(operations()), 0);
    std::vector<int> stack{first};
    while (!stack.empty()) {
        const int op = stack.back();
        stack.pop_back();
        if (op == v) return true;
        if (seen[static_cast<std::size_t>(op)] || head(op) > head(v)) continue;
        seen[static_cast<std::size_t>(op)] = 1;
        if ((op + 1) % machines_ != 0) stack.push_back(op + 1);
        const int after = machine_successor(op);
        if (after != none) stack.push_back(after);
    }
    return false;
}

long DisjunctiveGraph::swap_estimate(int u) const {
    const int v = machine_successor(u);
    const int before = machine_predecessor(u);
    const int after = machine_successor(v);
    const long head_v = std::max(job_head(v), before != none ? head(before) + duration(before) : 0L);
    const long head_u = std::max(job_head(u), head_v + duration(v));
    const long tail_u = std::max(job_tail(u), after != none ? tail(after) + duration(after) : 0L);
    const long tail_v = std::max(job_tail(v), tail_u + duration(u));
    return std::max(head_v + duration(v) + tail_v, head_u + duration(u) + tail_u);
}

void DisjunctiveGraph::swap(int u) {
    const int v = machine_successor(u);
    if (v == none || swap_closes_cycle(u))
        refuse("operation " + std::to_string(u) + " cannot be swapped with its machine successor");
    const int p = position_[static_cast<std::size_t>(u)];
    const std::size_t base = static_cast<std::size_t>(machine(u)) * static_cast<std::size_t>(jobs_);
    order_[base + static_cast<std::size_t>(p)] = v;
    order_[base + static_cast<std::size_t>(p) + 1] = u;
    position_[static_cast<std::size_t>(v)] = p;
    position_[static_cast<std::size_t>(u)] = p + 1;
    update();
}

}  // namespace zurududo::heuristics
