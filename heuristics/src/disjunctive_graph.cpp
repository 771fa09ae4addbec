// Heads, tails and critical paths of a job shop's machine orders.
#include <algorithm>
#include <string>

#include <zurududo/disjunctive_graph.h>

namespace zurududo::heuristics {

namespace {

[[noreturn]] void refuse(const std::string& why) {
    throw schedule::Error(schedule::ErrorKind::argument, 999, "job shop: " + why);
}

// Calls visit(begin, end) for each block of a critical path: the runs
// path[begin] … path[end - 1] of two or more operations on one machine.
template <class Visit>
void for_each_block(const DisjunctiveGraph& graph, const std::vector<int>& path, Visit visit) {
    std::size_t begin = 0;
    while (begin < path.size()) {
        std::size_t end = begin + 1;
        while (end < path.size() && graph.machine(path[end]) == graph.machine(path[begin])) ++end;
        if (end - begin >= 2) visit(begin, end);
        begin = end;
    }
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
    rank_.resize(ops);
    pending_.resize(ops);
    mark_.assign(ops, 0);
    block_head_.resize(static_cast<std::size_t>(jobs_));
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
    for (std::size_t r = 0; r < topological_.size(); ++r) rank_[static_cast<std::size_t>(topological_[r])] = static_cast<int>(r);
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
    for_each_block(*this, path, [&](std::size_t begin, std::size_t end) {
        const bool first = begin == 0;
        const bool last = end == path.size();
        if (!first || released) moves.push_back(path[begin]);
        if (!last && (end - begin > 2 || (first && !released))) moves.push_back(path[end - 2]);
    });
    return moves;
}

std::vector<int> DisjunctiveGraph::n1_moves() const {
    const std::vector<int> path = critical_path();
    std::vector<int> moves;
    for (std::size_t k = 0; k + 1 < path.size(); ++k)
        if (machine(path[k]) == machine(path[k + 1])) moves.push_back(path[k]);
    return moves;
}

unsigned DisjunctiveGraph::next_stamp() const {
    if (stamp_ == ~0u) {
        std::fill(mark_.begin(), mark_.end(), 0u);
        stamp_ = 0;
    }
    return ++stamp_;
}

// Heads never decrease along a path, so the search leaves out whatever starts
// after `to`.
bool DisjunctiveGraph::reaches(int from, int to) const {
    if (from == to) return true;
    if (head(from) > head(to)) return false;
    const unsigned seen = next_stamp();
    stack_.clear();
    stack_.push_back(from);
    mark_[static_cast<std::size_t>(from)] = seen;
    while (!stack_.empty()) {
        const int op = stack_.back();
        stack_.pop_back();
        if (op == to) return true;
        auto visit = [&](int next) {
            if (mark_[static_cast<std::size_t>(next)] == seen || head(next) > head(to)) return;
            mark_[static_cast<std::size_t>(next)] = seen;
            stack_.push_back(next);
        };
        if ((op + 1) % machines_ != 0) visit(op + 1);
        const int after = machine_successor(op);
        if (after != none) visit(after);
    }
    return false;
}

// A path from u's job successor s to v would start at s and end at v's
// start, and its length from s's end on would be part of s's tail.
bool DisjunctiveGraph::safe_after(int u, int v) const {
    if ((u + 1) % machines_ == 0) return true;
    const int s = u + 1;
    return head(s) + duration(s) > head(v) || tail(s) < duration(v) + tail(v);
}

bool DisjunctiveGraph::safe_before(int u, int v) const {
    if (u % machines_ == 0) return true;
    const int s = u - 1;
    return head(s) < head(v) + duration(v) || tail(v) < duration(s) + tail(s);
}

std::vector<Move> DisjunctiveGraph::n6_moves() const {
    const std::vector<int> path = critical_path();
    std::vector<Move> moves;
    if (path.empty()) return moves;
    const bool released = head(path.front()) > 0;
    for_each_block(*this, path, [&](std::size_t begin, std::size_t end) {
        const int first = path[begin];
        const int last = path[end - 1];
        bool pair = false;
        if (begin != 0 || released)
            for (std::size_t k = begin + 1; k < end; ++k)
                if (safe_before(path[k], first)) {
                    moves.push_back(Move{path[k], first, false});
                    pair = end - begin == 2;
                }
        if (end != path.size() && !pair)
            for (std::size_t k = begin; k + 1 < end; ++k)
                if (safe_after(path[k], last)) moves.push_back(Move{path[k], last, true});
    });
    return moves;
}

bool DisjunctiveGraph::closes_cycle(const Move& move) const {
    const int u = move.operation;
    const int t = move.target;
    if (u < 0 || t < 0 || u >= operations() || t >= operations() || u == t || machine(u) != machine(t)) return true;
    const int pu = position_[static_cast<std::size_t>(u)];
    const int pt = position_[static_cast<std::size_t>(t)];
    if (move.after != (pt > pu)) return true;
    // After: the operations up to t come before u, which a path from u's job
    // successor to t forbids. Before: u comes before t …, which a path from t
    // to u's job predecessor forbids.
    if (move.after) return (u + 1) % machines_ != 0 && reaches(u + 1, t);
    return u % machines_ != 0 && reaches(t, u - 1);
}

bool DisjunctiveGraph::swap_closes_cycle(int u) const {
    const int v = machine_successor(u);
    return v == none || closes_cycle(Move{u, v, true});
}

long DisjunctiveGraph::estimate(const Move& move) const {
    const int u = move.operation;
    const int m = machine(u);
    const int pu = position_[static_cast<std::size_t>(u)];
    const int pt = position_[static_cast<std::size_t>(move.target)];
    const int low = std::min(pu, pt);
    const int high = std::max(pu, pt);
    // The block low … high in its new order: k-th operation.
    auto moved = [&](int k) {
        if (move.after) return k == high - low ? u : at(m, low + k + 1);
        return k == 0 ? u : at(m, low + k - 1);
    };
    const int count = high - low + 1;
    long end = low > 0 ? head(at(m, low - 1)) + duration(at(m, low - 1)) : 0;
    for (int k = 0; k < count; ++k) {
        const int op = moved(k);
        const long start = std::max(job_head(op), end);
        block_head_[static_cast<std::size_t>(k)] = start;
        end = start + duration(op);
    }
    long rest = high + 1 < jobs_ ? tail(at(m, high + 1)) + duration(at(m, high + 1)) : 0;
    long longest = 0;
    for (int k = count - 1; k >= 0; --k) {
        const int op = moved(k);
        const long after = std::max(job_tail(op), rest);
        longest = std::max(longest, block_head_[static_cast<std::size_t>(k)] + duration(op) + after);
        rest = after + duration(op);
    }
    return longest;
}

long DisjunctiveGraph::swap_estimate(int u) const { return estimate(Move{u, machine_successor(u), true}); }

void DisjunctiveGraph::move(const Move& move, Update update_kind) {
    if (closes_cycle(move))
        refuse("operation " + std::to_string(move.operation) + " cannot be moved " +
               (move.after ? "after " : "before ") + std::to_string(move.target));
    const int u = move.operation;
    const int m = machine(u);
    const int pu = position_[static_cast<std::size_t>(u)];
    const int pt = position_[static_cast<std::size_t>(move.target)];
    const int low = std::min(pu, pt);
    const int high = std::max(pu, pt);
    const auto base = order_.begin() + static_cast<std::ptrdiff_t>(m) * jobs_;
    const int first = at(m, low);
    const int last = at(m, high);
    if (move.after)
        std::rotate(base + low, base + low + 1, base + high + 1);
    else
        std::rotate(base + low, base + high, base + high + 1);
    for (int p = low; p <= high; ++p) position_[static_cast<std::size_t>(at(m, p))] = p;
    if (update_kind == Update::full)
        update();
    else
        repair(m, low, high, first, last);
}

// The topological order is repaired as Pearce & Kelly repair it after an
// arc is added: every arc the move created leads from an operation that
// reaches the block's old last operation to one reached from its old first,
// so those reached from `first` within the ranks first … last (forward_) and
// those reaching `last` within them (backward_) take the same ranks,
// backward_ before forward_, each in its old order. Then heads are brought
// up to date forward in that order from the block on, an operation
// recomputed only when one before it changed, and tails backward.
void DisjunctiveGraph::repair(int machine, int low, int high, int first, int last) {
    const int low_rank = rank_[static_cast<std::size_t>(first)];
    const int high_rank = rank_[static_cast<std::size_t>(last)];
    auto rank = [this](int op) { return rank_[static_cast<std::size_t>(op)]; };
    auto search = [&](int from, std::vector<int>& found, bool ahead) {
        const unsigned seen = next_stamp();
        found.clear();
        found.push_back(from);
        mark_[static_cast<std::size_t>(from)] = seen;
        for (std::size_t k = 0; k < found.size(); ++k) {
            const int op = found[k];
            auto visit = [&](int next) {
                if (next == none || mark_[static_cast<std::size_t>(next)] == seen) return;
                if (ahead ? rank(next) > high_rank : rank(next) < low_rank) return;
                mark_[static_cast<std::size_t>(next)] = seen;
                found.push_back(next);
            };
            if (ahead) {
                visit((op + 1) % machines_ != 0 ? op + 1 : none);
                visit(machine_successor(op));
            } else {
                visit(op % machines_ != 0 ? op - 1 : none);
                visit(machine_predecessor(op));
            }
        }
    };
    search(first, forward_, true);
    search(last, backward_, false);
    auto by_rank = [&](int a, int b) { return rank(a) < rank(b); };
    std::sort(forward_.begin(), forward_.end(), by_rank);
    std::sort(backward_.begin(), backward_.end(), by_rank);
    slots_.resize(forward_.size() + backward_.size());
    std::merge(forward_.begin(), forward_.end(), backward_.begin(), backward_.end(), slots_.begin(), by_rank);
    for (int& op : slots_) op = rank(op);
    std::size_t next = 0;
    for (const std::vector<int>* part : {&backward_, &forward_})
        for (int op : *part) {
            const int r = slots_[next++];
            topological_[static_cast<std::size_t>(r)] = op;
            rank_[static_cast<std::size_t>(op)] = r;
        }

    // Heads: the block and the operation after it on the machine have new
    // machine predecessors; the rest changes only behind a changed head. The
    // scan in topological order ends when no marked operation is left.
    unsigned dirty = next_stamp();
    long pending = 0;
    int from = operations();
    auto mark = [&](int op) {
        if (mark_[static_cast<std::size_t>(op)] == dirty) return;
        mark_[static_cast<std::size_t>(op)] = dirty;
        ++pending;
        from = std::min(from, rank(op));
    };
    for (int p = low; p <= std::min(high + 1, jobs_ - 1); ++p) mark(at(machine, p));
    for (int r = from; pending > 0; ++r) {
        const int op = topological_[static_cast<std::size_t>(r)];
        if (mark_[static_cast<std::size_t>(op)] != dirty) continue;
        --pending;
        const int p = position_[static_cast<std::size_t>(op)];
        long start = job_head(op);
        if (p > 0) {
            const int before = at(machine_[static_cast<std::size_t>(op)], p - 1);
            start = std::max(start, head_[static_cast<std::size_t>(before)] + duration_[static_cast<std::size_t>(before)]);
        }
        if (start == head_[static_cast<std::size_t>(op)]) continue;
        head_[static_cast<std::size_t>(op)] = start;
        if ((op + 1) % machines_ != 0) mark(op + 1);
        if (p + 1 < jobs_) mark(at(machine_[static_cast<std::size_t>(op)], p + 1));
    }
    makespan_ = 0;
    for (int j = 0; j < jobs_; ++j) {
        const int op = j * machines_ + machines_ - 1;
        makespan_ = std::max(makespan_, head(op) + duration(op));
    }

    // Tails: the block and the operation before it have new machine successors.
    dirty = next_stamp();
    int to = -1;
    auto mark_back = [&](int op) {
        if (mark_[static_cast<std::size_t>(op)] == dirty) return;
        mark_[static_cast<std::size_t>(op)] = dirty;
        ++pending;
        to = std::max(to, rank(op));
    };
    for (int p = std::max(low - 1, 0); p <= high; ++p) mark_back(at(machine, p));
    for (int r = to; pending > 0; --r) {
        const int op = topological_[static_cast<std::size_t>(r)];
        if (mark_[static_cast<std::size_t>(op)] != dirty) continue;
        --pending;
        const int p = position_[static_cast<std::size_t>(op)];
        long rest = job_tail(op);
        if (p + 1 < jobs_) {
            const int after = at(machine_[static_cast<std::size_t>(op)], p + 1);
            rest = std::max(rest, tail_[static_cast<std::size_t>(after)] + duration_[static_cast<std::size_t>(after)]);
        }
        if (rest == tail_[static_cast<std::size_t>(op)]) continue;
        tail_[static_cast<std::size_t>(op)] = rest;
        if (op % machines_ != 0) mark_back(op - 1);
        if (p > 0) mark_back(at(machine_[static_cast<std::size_t>(op)], p - 1));
    }
}

void DisjunctiveGraph::swap(int u, Update update_kind) {
    const int v = machine_successor(u);
    if (v == none) refuse("operation " + std::to_string(u) + " is the last on its machine");
    move(Move{u, v, true}, update_kind);
}

}  // namespace zurududo::heuristics
