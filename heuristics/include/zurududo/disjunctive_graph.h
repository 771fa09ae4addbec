// The job shop as a disjunctive graph: the order of the operations on every
// machine, the heads and tails of the operations under that order, a
// critical path, and the swap of two operations that follow each other on a
// machine, estimated from heads and tails before it is made.
//
// Operation o = j · m + k is job j's k-th operation of its routing (m
// machines). Its head is its start in the semi-active schedule of the
// machine orders — the schedule the toolkit's job-shop evaluators build for
// any operation sequence that lists the operations of every machine in that
// order — and its tail is the length of the longest path from its end to the
// end of the schedule. A job's first operation starts no earlier than the
// job's release date, and no operation starts before time 0, as in the
// evaluators; head + duration + tail is the makespan for every operation of
// a critical path.
#ifndef ZURUDUDO_DISJUNCTIVE_GRAPH_H
#define ZURUDUDO_DISJUNCTIVE_GRAPH_H

#include <span>
#include <vector>

#include <schedule/checked.h>

namespace zurududo::heuristics {

class DisjunctiveGraph {
public:
    static constexpr int none = -1;

    // The record is checked (schedule::validate) and must have no negative
    // processing time; otherwise schedule::Error (argument). The record is
    // read here and not kept. The machine orders start as those of the
    // sequence listing the jobs' operations job after job.
    explicit DisjunctiveGraph(const schedule::JOBSHOP& instance);

    int jobs() const { return jobs_; }
    int machines() const { return machines_; }
    int operations() const { return jobs_ * machines_; }
    int job(int op) const { return op / machines_; }
    int machine(int op) const { return machine_[static_cast<std::size_t>(op)]; }
    int duration(int op) const { return duration_[static_cast<std::size_t>(op)]; }
    // The earliest start of a job's first operation: its release date, or 0 if that is negative.
    long release(int job) const { return release_[static_cast<std::size_t>(job)]; }

    // Takes the machine orders of an operation sequence (checked with
    // schedule::validate_sequence) and computes heads and tails.
    void assign(std::span<const int> sequence);
    // An operation sequence of the current machine orders: its semi-active
    // schedule is this one, so Jm_Rj_Cmax of it is makespan().
    std::vector<int> sequence() const;

    long makespan() const { return makespan_; }
    long head(int op) const { return head_[static_cast<std::size_t>(op)]; }
    long tail(int op) const { return tail_[static_cast<std::size_t>(op)]; }
    // The operation before / after `op` on its machine, or none.
    int machine_predecessor(int op) const;
    int machine_successor(int op) const;
    // The operations of a machine in processing order.
    std::span<const int> machine_order(int machine) const {
        return {order_.data() + static_cast<std::size_t>(machine) * static_cast<std::size_t>(jobs_),
                static_cast<std::size_t>(jobs_)};
    }

    // A critical path from its first operation to its last: at every step
    // back from an operation ending at the makespan, the machine predecessor
    // when it ends exactly at the operation's head, else the job predecessor.
    std::vector<int> critical_path() const;

    // Nowicki & Smutnicki's N5 neighbourhood of that critical path, as the
    // operations u to swap with their machine successors: the first two and
    // the last two operations of every block (a run of the path on one
    // machine), except the first two of the first block — unless the path
    // starts after time 0, at a release date — and the last two of the last.
    // Empty when the path is one block starting at 0 or has no block of two:
    // then its length is a lower bound and the schedule is optimal.
    std::vector<int> n5_moves() const;
    // Van Laarhoven, Aarts & Lenstra's N1 of that path: every two operations
    // that follow each other on the path and on a machine. Larger than N5,
    // but some sequence of its moves leads from any schedule to an optimal
    // one, release dates or not.
    std::vector<int> n1_moves() const;

    // Swapping `u` with its machine successor v would close a cycle: some
    // other path leads from u to v.
    bool swap_closes_cycle(int u) const;
    // The length of the longest path through u or v once `u` and its machine
    // successor v are swapped, from heads and tails alone (constant time). The
    // new makespan is at least this, and equal to it whenever it is at least
    // the current makespan; a path avoiding both keeps at most the current
    // makespan. The swap must not close a cycle.
    long swap_estimate(int u) const;
    // Swaps `u` with its machine successor (which must not close a cycle) and
    // computes heads and tails anew.
    void swap(int u);

private:
    void update();
    int at(int machine, int position) const {
        return order_[static_cast<std::size_t>(machine) * static_cast<std::size_t>(jobs_) +
                      static_cast<std::size_t>(position)];
    }
    long job_head(int op) const;  // earliest start from the job's side
    long job_tail(int op) const;  // longest path after op's end along the job's side

    int jobs_;
    int machines_;
    std::vector<int> machine_;
    std::vector<int> duration_;
    std::vector<long> release_;   // per job, never below 0
    std::vector<int> order_;      // machine by machine, jobs_ operations each
    std::vector<int> position_;   // of each operation in its machine's order
    std::vector<long> head_;
    std::vector<long> tail_;
    std::vector<int> topological_;
    std::vector<int> pending_;    // work of update()
    long makespan_ = 0;
};

}  // namespace zurududo::heuristics

#endif  // ZURUDUDO_DISJUNCTIVE_GRAPH_H
