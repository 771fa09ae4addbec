// The job shop as a disjunctive graph: the order of the operations on every
// machine, the heads and tails of the operations under that order, a
// critical path, its neighbourhoods, and the moves of an operation within
// its machine's order, estimated from heads and tails before they are made
// and followed by an update of only the heads and tails they can change.
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

// `operation` taken out of its machine's order and put back right after
// `target`, an operation later on the same machine (after = true), or right
// before `target`, an earlier one (after = false). The swap of an operation
// with its machine successor is the move right after that successor.
struct Move {
    int operation;
    int target;
    bool after;
    bool operator==(const Move&) const = default;
};

// How heads and tails follow a move: only those of the operations the move
// can reach (from the first moved one on in a topological order, tails from
// the last one back), or all of them anew (the way of assign()).
enum class Update { incremental, full };

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
    int machine_predecessor(int op) const {
        const int p = position_[static_cast<std::size_t>(op)];
        return p > 0 ? at(machine(op), p - 1) : none;
    }
    int machine_successor(int op) const {
        const int p = position_[static_cast<std::size_t>(op)];
        return p + 1 < jobs_ ? at(machine(op), p + 1) : none;
    }
    // The position of an operation in its machine's order, from 0.
    int position(int op) const { return position_[static_cast<std::size_t>(op)]; }
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

    // Balas & Vazacopoulos's N6 of that path: in every block, each operation
    // but the first moved right before the block's first operation, and each
    // but the last right after the block's last, where heads and tails show
    // that the move closes no cycle (u after v: the job successor of u ends
    // after v starts, or its tail is shorter than v's duration and tail; v
    // before u symmetrically). Moves to the front of the first block are left
    // out unless the path starts at a release date, moves to the back of the
    // last one always: they cannot shorten the path. A block of two gives one
    // move. Like N5 it can come out empty for a schedule that is not optimal
    // (when zero-length operations defeat the test), unlike N5 it is then no
    // proof.
    std::vector<Move> n6_moves() const;
    // N5 and N1 as moves.
    static Move swap_move(int u, int v) { return Move{u, v, true}; }

    // The move would close a cycle (exact: a search of the paths it could
    // close), or is not a move of this graph: `target` on another machine, or
    // not on the side of `operation` that `after` says.
    bool closes_cycle(const Move& move) const;
    // Balas & Vazacopoulos's estimate of the makespan after a move: the
    // longest path through the moved operations under the new order, their
    // heads taken forward from the machine predecessor of the moved block and
    // from the current heads of their job predecessors, their tails backward
    // likewise (linear in the number of operations moved). For a swap of two
    // neighbours it is exact (see swap_estimate); for a longer move the heads
    // and tails it takes from the operations around the block may change with
    // the move, so it is an estimate, though never below the moved
    // operation's own longest path in the new schedule. The move must not
    // close a cycle.
    long estimate(const Move& move) const;
    // Makes a move that closes no cycle (otherwise schedule::Error, argument)
    // and brings heads, tails and the makespan up to date.
    void move(const Move& move, Update update = Update::incremental);

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
    // updates heads and tails.
    void swap(int u, Update update = Update::incremental);

private:
    void update();
    // After the machine order of `machine` changed on positions low … high,
    // which held `first` … `last` before:
    // the topological order repaired where it must be, then heads and tails.
    void repair(int machine, int low, int high, int first, int last);
    bool reaches(int from, int to) const;  // a path of length ≥ 0 from one operation to another
    bool safe_after(int u, int v) const;   // heads and tails show that u after v closes no cycle
    bool safe_before(int u, int v) const;  // … that u before v closes none
    unsigned next_stamp() const;
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
    std::vector<int> rank_;       // of each operation in topological_
    std::vector<int> pending_;    // work of update()
    // Work of repair(), reaches() and estimate(): marks by stamp, the
    // operations found by searches, a moved block.
    mutable std::vector<unsigned> mark_;
    mutable unsigned stamp_ = 0;
    mutable std::vector<int> stack_;
    mutable std::vector<long> block_head_;
    std::vector<int> forward_, backward_, slots_;
    long makespan_ = 0;
};

}  // namespace zurududo::heuristics

#endif  // ZURUDUDO_DISJUNCTIVE_GRAPH_H
