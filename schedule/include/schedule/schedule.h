// schedule — a toolkit for deterministic machine scheduling.
//
// Instances are read from tagged text files into plain records, sequences are
// evaluated by free functions, and the vectors and matrices involved are plain
// heap blocks: a vector is released with std::free, a matrix with the
// free_mat_* routine of its element type. Nothing stores a length; every
// routine takes its lengths explicitly and trusts them.
//
// Fatal conditions end the process: the library's own routines go through
// `error` (status 1); the instance loaders print their own diagnostics and end
// with status 1 when the file has an error. <schedule/checked.h> offers the
// same work with errors thrown instead, owning records, and checks of
// records and sequences. Results marked [[nodiscard]] are blocks the caller
// releases.
#ifndef SCHEDULE_SCHEDULE_H
#define SCHEDULE_SCHEDULE_H

namespace schedule {

// ---------------------------------------------------------------------------
// Instance records
// ---------------------------------------------------------------------------

// One machine. `pt`, `dd`, `w` and `r` are vectors of `jobs` entries indexed by
// job; `dd` is null when the file gave no due dates, `w` is all 1.0 and `r` all
// 0 when the file gave no weights or release dates. `machines` is always 1.
struct SINGLE_MACHINE {
    int jobs;
    int machines;
    int* pt;
    long* dd;
    double* w;
    int* r;
};

// The other records follow the same rules: n = `jobs`, m = `machines`; `dd`,
// `w` and `r` are vectors of n entries indexed by job, with the defaults
// above. A `pt` matrix has one row per machine: pt[i][j] is the processing
// time of job j on machine i.

// Identical machines: job j takes pt[j] on any machine.
struct PARALLEL_MACHINES {
    int jobs;
    int machines;
    int* pt;
    long* dd;
    double* w;
    int* r;
};

// Uniform machines: job j takes pt[j] / v[i] on machine i (v has m entries).
struct RELATED_MACHINES {
    int jobs;
    int machines;
    int* pt;
    int* v;
    long* dd;
    double* w;
    int* r;
};

// Unrelated machines: job j takes pt[i][j] on machine i.
struct UNRELATED_MACHINES {
    int jobs;
    int machines;
    int** pt;
    long* dd;
    double* w;
    int* r;
};

// Permutation flow shop: every job visits machines 0, 1, …, m − 1 in order.
struct FLOWSHOP {
    int jobs;
    int machines;
    int** pt;
    long* dd;
    double* w;
    int* r;
};

// Open shop; loaded, but evaluated by no routine.
struct OPENSHOP {
    int jobs;
    int machines;
    int** pt;
    long* dd;
    double* w;
    int* r;
};

// Job shop: rt is n × m, rt[j][k] the machine of job j's k-th operation.
struct JOBSHOP {
    int jobs;
    int machines;
    int** pt;
    int** rt;
    long* dd;
    double* w;
    int* r;
};

// ---------------------------------------------------------------------------
// Vectors and matrices
// ---------------------------------------------------------------------------

// Allocation of uninitialised vectors; on failure `error` code 1 ends the
// process. newIVector returns whatever the allocator gives, without a message,
// when `len` is 0 or negative.
[[nodiscard]] double* newDVector(int len);
[[nodiscard]] float* newFVector(int len);
[[nodiscard]] int* newIVector(int len);
[[nodiscard]] long* newLVector(int len);

// Row-pointer matrices: `rows` row pointers, row i of `cols` (dyn_mat) or
// `vcol[i]` (dyn_var_mat) elements of `size` bytes. The result is cast by the
// caller to a matrix of its element type, e.g. (int**)dyn_mat(m, n, sizeof(int)).
[[nodiscard]] void** dyn_mat(int rows, int cols, int size);
[[nodiscard]] void** dyn_var_mat(int rows, const int* vcol, int size);

// Release rows 0 … rows − 1 in order, then the row array.
void free_mat_double(double** m, int rows);
void free_mat_float(float** m, int rows);
void free_mat_int(int** m, int rows);
void free_mat_long(long** m, int rows);

// destination[i] = source[i] for i below len.
void copyDVector(const double* source, double* destination, int len);
void copyFVector(const float* source, float* destination, int len);
void copyIVector(const int* source, int* destination, int len);
void copyLVector(const long* source, long* destin, int length);

// vector[j] = matrix[row][j] for j below cols.
void copyrowDmatrix(const double* const* matrix, double* vector, int row, int cols);
void copyrowFmatrix(const float* const* matrix, float* vector, int row, int cols);
void copyrowImatrix(const int* const* matrix, int* vector, int row, int cols);
void copyrowLmatrix(const long* const* matrix, long* vector, int row, int cols);

// matrix[row][j] = vector[j] for j below cols.
void pasterowImatrix(int** matrix, const int* vector, int row, int cols);

// Every element set to val.
void setval_Dvector(double* vector, int len, double val);
void setval_Fvector(float* vector, int len, float val);
void setval_Ivector(int* vector, int len, int val);
void setval_Lvector(long* vector, int len, long val);
void setval_Dmatrix(double** matrix, int rows, int cols, double val);
void setval_Fmatrix(float** matrix, int rows, int cols, float val);
void setval_Imatrix(int** matrix, int rows, int cols, int val);
void setval_Lmatrix(long** matrix, int rows, int cols, long val);

// ---------------------------------------------------------------------------
// Scalars
// ---------------------------------------------------------------------------

// Which argument wins a tie (or an unordered comparison) is part of the
// contract: fMax, iMax return the first only when it is strictly greater;
// dMax, lMax when it is greater or equal; every Min when it is less or equal.
float fMax(float A, float B);
float fMin(float a, float b);
double dMax(double a, double b);
double dMin(double a, double b);
int iMax(int A, int B);
int iMin(int a, int b);
long lMax(long a, long b);
long lMin(long a, long b);

// −1 for negative numbers, +1 otherwise (zero included).
int sign(int number);

// Rounds halves towards +∞: 2.5 → 3, −2.5 → −2. Values beyond the range of
// long saturate; NaN gives 0.
long lround(double number);

// ---------------------------------------------------------------------------
// Error reporting
// ---------------------------------------------------------------------------

// Writes the message of `code_error` and then `add_info` on its own line to
// standard output; ends the process with status 1 when `stop` is non-zero.
// Codes: 1 memory, 2 file not found, 3 negative values, 4 argument count,
// 5 value not found, 999 other.
void error(int code_error, int stop, const char* add_info);

// ---------------------------------------------------------------------------
// Console printing (standard output)
// ---------------------------------------------------------------------------

// "(" then each element ("%5d", "%8ld", "%5f", "%5lf") followed by "," — the
// last by ")\n". A length of 0 or below prints "()\n".
void print_int_vector(const int* vector, int len);
void print_long_vector(const long* vector, int len);
void print_float_vector(const float* vector, int len);
void print_double_vector(const double* vector, int len);

// One line per row, elements back to back ("%5d", "%5ld", "%5f", "%5lf").
void print_int_matrix(const int* const* matrix, int rows, int cols);
void print_long_matrix(const long* const* matrix, int rows, int cols);
void print_float_matrix(const float* const* matrix, int rows, int cols);
void print_double_matrix(const double* const* matrix, int rows, int cols);

// ---------------------------------------------------------------------------
// Sorting
// ---------------------------------------------------------------------------

// Quicksort of positions left … right (inclusive) of `vector`, ascending (A)
// or descending (D); every exchange of keys is applied to `index` too. The
// sort is not stable, and the order in which equal keys leave it is fixed:
// the pivot is the key at (left + right) / 2, both scans stop on a key equal
// to it, and equal keys are exchanged with one another. Keys 5, 5 leave as
// positions 1, 0; keys 2, 1, 2, 1 ascending as 3, 1, 0, 2. A NaN stops both
// scans. A stretch of fewer than two keys is left alone and not read.
void brqsortDVectorA(double* vector, int* index, int left, int right);
void brqsortFVectorA(float* vector, int* index, int left, int right);
void brqsortIVectorA(int* vector, int* index, int left, int right);
void brqsortLVectorA(long* vector, int* index, int left, int right);
void brqsortDVectorD(double* vector, int* index, int left, int right);
void brqsortFVectorD(float* vector, int* index, int left, int right);
void brqsortIVectorD(int* vector, int* index, int left, int right);
void brqsortLVectorD(long* vector, int* index, int left, int right);

// Sets index[i] = i for i below `rows`, then sorts positions 0 … rows − 1:
// afterwards vector[k] is the k-th key in sorted order and index[k] the
// position it had before the call. `criterion` is 'A' (ascending) or 'D'
// (descending), case-sensitive; anything else ends the process through
// `error` code 999 with "Undefined sorting criterion\n".
void sortDVector(double* vector, int* index, int rows, char criterion);
void sortFVector(float* vector, int* index, int rows, char criterion);
void sortIVector(int* vector, int* index, int rows, char criterion);
void sortLVector(long* vector, int* index, int rows, char criterion);

// Replaces `vector` by its sorting permutation: vector[k] becomes the position
// of the k-th key in sorted order. 30, 10, 20 with 'A' gives 1, 2, 0.
void sortIVector_noOrder(int* vector, int rows, char criterion);

// A new vector of `length` positions of `v` in sorted order of their values;
// `v` is not changed. The caller releases the result.
[[nodiscard]] int* ordered_sequence_VECTOR_DOUBLE(const double* v, int length, char criterion);
[[nodiscard]] int* ordered_sequence_VECTOR_FLOAT(const float* v, int length, char criterion);
[[nodiscard]] int* ordered_sequence_VECTOR_INT(const int* v, int length, char criterion);
[[nodiscard]] int* ordered_sequence_VECTOR_LONG(const long* v, int length, char criterion);

// A new vector of the jobs ordered by their total processing time over the
// `machs` rows of `pt` (machine rows, job columns): increasing for 'A',
// decreasing for 'D'. The caller releases the result.
[[nodiscard]] int* sortPT(int jobs, int machs, const int* const* pt, char crit);

// ---------------------------------------------------------------------------
// Sequence operators
// ---------------------------------------------------------------------------

// Neighbourhood moves on a sequence of `len` entries: `neighbor` becomes a
// copy of `original` with one pair of entries exchanged, the pair drawn with
// std::rand (the library never seeds it). API exchanges positions i and i + 1,
// i = rand() % (len − 1); GPI exchanges positions i = rand() % len and
// j = rand() % len, j drawn again until it differs from i. With `len` below 2
// both copy `original` unchanged and draw nothing. `original` is not changed;
// the two vectors may be the same.
void API(const int* original, int* neighbor, int len);
void GPI(const int* original, int* neighbor, int len);

// Fills entries 0 … jobs − 1 with a random permutation of 0 … jobs − 1:
// position k takes rand() % jobs, drawn again while the number is already
// placed before k. Does nothing when `jobs` is below 1.
void randSequence(int* vector, int jobs);

// Removes entry `pos`, moving entries pos + 1 … len − 1 one place down; the
// last entry keeps its old value. Returns len − 1. A `pos` outside
// 0 … len − 1 ends the process through `error` code 999.
int extractIVector(int* vector, int len, int pos);

// The same on row `pos_row` of `mat`, a row of `n_col` entries, without the
// check; `n_rows` is not used.
void extractIMatrix(int** mat, int n_rows, int n_col, int pos_row, int pos_col);

// Inserts `value` at `pos` of a vector of `length` entries, moving entries
// pos … length − 2 one place up; the last entry is lost.
void insertDVector(double* vector, int length, double value, int pos);
void insertFVector(float* vector, int length, float value, int pos);
void insertIVector(int* vector, int length, int value, int pos);
void insertLVector(long* vector, int length, long value, int pos);

// First position in 0 … length − 1 whose entry differs from `number`, or −1.
int findFirstDiff(const int* vector, int length, int number);

// First position in 0 … rows − 1 (longitud − 1) whose entry equals the value
// exactly, or −1; NaN never matches, an empty range gives −1.
int searchInDVector(const double* vector, int longitud, double numero);
int searchInFVector(const float* vector, int longitud, float numero);
int searchInIVector(const int* vector, int rows, int number);
int searchInLVector(const long* vector, int rows, int number);

// The same over positions starting … rows − 1.
int searchOInIVector(const int* vector, int rows, int number, int starting);

// First row i in 0 … rows − 1 with matrix[i][no_col] equal to `val`. Without
// a match the process ends through `error` code 5.
int search_colImatrix(const int* const* matrix, int no_col, int rows, int val);

// ---------------------------------------------------------------------------
// Tagged instance files
// ---------------------------------------------------------------------------

// Working storage of one load: `tag_entry_slots` entries, each a tag text of
// up to 38 characters plus "=" and NUL, and a content of up to 32766
// characters plus NUL.
inline constexpr int tag_entry_slots = 20;
inline constexpr int tag_text_size = 40;
inline constexpr int tag_content_size = 32767;

// Splits a file into tag entries "<tag text>=<content>]", in file order, and
// returns how many complete entries it stored (at most tag_entry_slots). Line
// feeds, and a carriage return directly before one, are dropped. A tag text
// longer than its slot keeps its last characters; a content longer than its
// slot is cut; entries beyond the last slot are not stored. A file that
// cannot be opened ends the process through `error` code 2.
int load_tag_content(const char* filename, char tag_parameter[][tag_text_size],
                     char content_parameter[][tag_content_size]);

// Tag readers. `tag` is the whole searched tag, e.g. "[DD="; the first of
// the `useful_lines` entries whose tag text contains it is used.
// load_int_tag returns the content as an integer, or −1 when no entry matches.
int load_int_tag(const char* tag, const char tag_parameter[][tag_text_size],
                 const char content_parameter[][tag_content_size], int useful_lines);

// The vector readers store a new vector of (commas + 1) elements in
// *return_vector and return that count, or return −1 without allocating when
// no entry matches. Each element is converted from its own text; an empty text
// gives 0.
int load_long_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                         const char content_parameter[][tag_content_size], int useful_lines,
                         long** return_vector);
int load_double_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                           const char content_parameter[][tag_content_size], int useful_lines,
                           double** return_vector);
int load_int_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                        const char content_parameter[][tag_content_size], int useful_lines,
                        int** return_vector);

// Converts a comma list into a new int vector stored in *return_vector;
// returns its element count.
int string_to_VECTOR_INT(const char* string, int** return_vector);

// Fills the caller's n_rows × n_cols matrix from a content of ";"-separated
// rows. Returns 0 when filled, −1 when the row count differs from n_rows, −2
// when a row's element count differs from n_cols (rows before it stay
// written), −10 when no entry matches.
int load_int_matrix_tag(const char* tag, const char tag_parameter[][tag_text_size],
                        const char content_parameter[][tag_content_size], int useful_lines,
                        int** return_matrix, int n_rows, int n_cols);

// Number of characters of `string` equal to `ch`.
int count_chars(const char* string, char ch);

// Sets characters 0 … len − 1 of `string` to NUL.
void clear_string(char* string, int len);

// ---------------------------------------------------------------------------
// Instance loaders
// ---------------------------------------------------------------------------

// Reads JOBS, DD, R, W and PT, echoing each accepted attribute and reporting
// absent or inconsistent ones, then prints
// "\nLoading <file> completed with <e> errors and <w> warnings.\n".
// Returns only when no error was found; otherwise prints
// "The program cannot continue." and ends the process with status 1.
[[nodiscard]] SINGLE_MACHINE load_SINGLE_MACHINE(const char* filename);

// The other loaders follow the same procedure. After JOBS they read MACHINES
// (absent or below 1 is an error), then DD, V (uniform machines only), R, W,
// then the processing data, which is looked up only when nothing failed
// before: PT as a vector of n, or as a matrix of m rows of n; and for the job
// shop RT, n rows of m, looked up only when PT was accepted.
[[nodiscard]] PARALLEL_MACHINES load_PARALLEL_MACHINES(const char* filename);
[[nodiscard]] RELATED_MACHINES load_RELATED_MACHINES(const char* filename);
[[nodiscard]] UNRELATED_MACHINES load_UNRELATED_MACHINES(const char* filename);
[[nodiscard]] FLOWSHOP load_FLOWSHOP(const char* filename);
[[nodiscard]] OPENSHOP load_OPENSHOP(const char* filename);
[[nodiscard]] JOBSHOP load_JOBSHOP(const char* filename);

// ---------------------------------------------------------------------------
// Plain-format instance readers
// ---------------------------------------------------------------------------

// Readers of whitespace-separated integer files (standard benchmark layouts).
// They check nothing: a number that cannot be read, or a file that ends
// early, gives 0. n goes to *jobs and m to *machs; the matrices come from
// dyn_mat and the vectors from newIVector / newLVector, owned by the caller.
// A file that cannot be opened ends the process through `error` code 2. With
// print_flag 1 the reader echoes what it read on standard output.
//
// The job-shop files may begin with a description line, kept only for the
// echo: its first 198 characters and a line feed (the rest of a longer line
// is skipped). Their header is "n m", then per job m pairs "machine time" for
// operations 0 … m − 1. `rm` (n × m) receives the machines as read; `pt`
// (m × n) receives pt[k][j] = time of the k-th operation of job j, so the row
// is the position in the routing, not the machine.
void loadJSData(const char* filename, int* jobs, int* machs, int*** pt, int*** rm, int print_flag);

// As loadJSData, the description line present only when `descr` is 1, each
// job's pairs followed by its due date.
void loadJS_DD_Data(const char* filename, int descr, int* jobs, int* machs, int*** pt, int*** rm,
                    long** dd, int print_flag);

// As loadJS_DD_Data without per-job due dates; after the job rows the first
// non-blank line is skipped, then per job four numbers whose second is its
// due date.
void loadJS_DD_Data_Zorvane(const char* filename, int descr, int* jobs, int* machs, int*** pt,
                            int*** rm, long** dd, int print_flag);

// Description line, header "m n ops_per_job", per machine two numbers the
// second of which goes to am[i], then per job m pairs "machine time". Here
// pt[machine][job] holds the time; entries no pair addresses are 0. A
// machine outside 0 … m − 1 ends the process through `error` code 999.
void loadJS_MM_Data(const char* filename, int* jobs, int* machs, int*** pt, int*** rm, int** am,
                    int print_flag);

// Processing-time files with header "m n" and elements of at most 10
// characters (a longer digit string reads as two numbers). The result is
// pt[machine][job] (m × n). _mrows: one row per machine; _nrows: one row per
// job; the DD members add n due dates (after the matrix, or one after each
// job's row). The line "Instance <file> - n: <n>    m: <m>" is written
// whatever print_flag says.
[[nodiscard]] int** loadPTimes_mrows(const char* filename, int* jobs, int* machs, int print_flag);
[[nodiscard]] int** loadPTimes_mrowsDD(const char* filename, int* jobs, int* machs, long** dd, int print_flag);
[[nodiscard]] int** loadPTimes_nrows(const char* filename, int* jobs, int* machs, int print_flag);
[[nodiscard]] int** loadPTimes_nrowsDD(const char* filename, int* jobs, int* machs, long** dd, int print_flag);

// The first integer after the row-th ":" of a parameter file ("jobs: 20"
// lines), or 0 when none follows or the file ends before that ":". For a
// `row` of 0 or below the integer after the first character is read.
int read_parfile_int(const char* filename, int row);

// ---------------------------------------------------------------------------
// Objectives
// ---------------------------------------------------------------------------
//
// Every environment offers the same catalogue, computed from the completion
// time C_j of each job in the schedule the environment builds from the
// sequence:
//   lateness L_j = C_j − d_j, tardiness T_j = max(L_j, 0), earliness
//   E_j = max(−L_j, 0), flow time F_j = C_j − r_j, and U_j = 1 when the job
//   is tardy (C_j > d_j), else 0.
// `Cmax` is the makespan; `Xmax` the largest X_j over all jobs and `SumXj`
// their sum (`SumUj` counts the tardy jobs), as `long`. The `Wj_` forms weigh
// each term, w_j · X_j, the integer quantity converted to double first:
// `Wj_Xmax` is the largest weighted term (so `Wj_Cmax` is the largest w_j · C_j,
// not a weighted makespan), `Wj_SumXj` their sum taken in the order the
// environment meets the jobs, and `Wj_SumUj` the total weight of the tardy
// jobs.
//
// Plain-argument evaluators (no `Rj`) take the counts and the data as
// separate arguments and know neither release dates nor weights: every
// machine works from time 0. Record evaluators (`Rj`) take the environment's
// record and honour release dates; `Rj_Cj` returns a new vector of the
// completion times, indexed by job, that the caller releases.
//
// Evaluators print nothing and keep nothing between calls. With no jobs an
// objective is 0 (0.0), except Lmax and Wj_Lmax on parallel machines. An
// objective that needs due dates, given a null `dd`, ends the process through
// `error` naming the evaluator.

// ---------------------------------------------------------------------------
// Single machine
// ---------------------------------------------------------------------------

// Jobs run in sequence order, each as soon as the machine is free and the job
// released (the first job starts exactly at its release date); the plain
// family runs them back to back from time 0. `Cmax` is the completion time of
// the last job of the sequence.
long S1_Cmax(const int* seq, int jobs, const int* pt);
long S1_Emax(const int* seq, int jobs, const int* pt, const long* dd);
long S1_Lmax(const int* seq, int jobs, const int* pt, const long* dd);
long S1_SumCj(const int* seq, int jobs, const int* pt);
long S1_SumEj(const int* seq, int jobs, const int* pt, const long* dd);
long S1_SumLj(const int* seq, int jobs, const int* pt, const long* dd);
long S1_SumTj(const int* seq, int jobs, const int* pt, const long* dd);
long S1_SumUj(const int* seq, int jobs, const int* pt, const long* dd);
long S1_Tmax(const int* seq, int jobs, const int* pt, const long* dd);

long S1_Rj_Cmax(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_Emax(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_Fmax(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_Lmax(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_SumCj(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_SumEj(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_SumFj(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_SumLj(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_SumTj(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_SumUj(const int* seq, SINGLE_MACHINE instance);
long S1_Rj_Tmax(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_Cmax(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_Emax(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_Fmax(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_Lmax(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_SumCj(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_SumEj(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_SumFj(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_SumLj(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_SumTj(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_SumUj(const int* seq, SINGLE_MACHINE instance);
double S1_Rj_Wj_Tmax(const int* seq, SINGLE_MACHINE instance);

// Completion time of every job (a new vector indexed by job) when the jobs are
// processed in `seq` order, each as soon as the machine is free and the job is
// released.
[[nodiscard]] long* S1_Rj_Cj(const int* seq, SINGLE_MACHINE instance);

// Batch evaluation, for population methods (genetic algorithms, iterated
// greedy's candidate lists, Python's evaluate_many): `count` sequences of the
// same instance at once. `seqs` holds count · jobs entries, the sequences back
// to back: sequence s is seqs[s · jobs … s · jobs + jobs − 1] (jobs is the
// instance's for the record forms). out[s] receives exactly, bit for bit,
// what the one-at-a-time evaluator of the same name without `_many` returns
// for sequence s (weighted sums included, their order of terms unchanged),
// and `out` holds count entries. Like every evaluator, the batch forms do not
// check the sequences: each must be a permutation of 0 … jobs − 1, which is
// the caller's duty. A count of 0 or below evaluates nothing. The single
// machine's batch forms evaluate one sequence after another (SIMD across
// sequences does not pay with one time per job); the flow shop's evaluate
// several sequences in the same instructions where the processor has AVX2 or
// AVX-512 (chosen at run time) and every time of the schedule fits in 32 bits,
// one at a time otherwise, always with the same results. Like the other
// evaluators they print nothing and keep nothing between calls; the missing
// due dates of a due-date objective end the process through `error` naming
// the batch form.
void S1_Cmax_many(const int* seqs, int count, int jobs, const int* pt, long* out);
void S1_Rj_Cmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_Emax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_Fmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_Lmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_SumCj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_SumEj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_SumFj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_SumLj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_SumTj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_SumUj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_Tmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out);
void S1_Rj_Wj_Cmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_Emax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_Fmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_Lmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_SumCj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_SumEj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_SumFj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_SumLj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_SumTj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_SumUj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);
void S1_Rj_Wj_Tmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out);

// ---------------------------------------------------------------------------
// Parallel machines
// ---------------------------------------------------------------------------

// List scheduling in sequence order on m ≥ 1 machines, all free from time 0:
// each job goes whole to one machine and starts there once the machine has
// finished the jobs placed on it before and, in the record family, once the
// job is released. A job never fills an idle gap left before an earlier job.
//
// The machine is the lowest-numbered among those with the smallest dispatch
// key. The key is the machine's free time for Pm, Pm_Rj and Qm_Rj, and the
// completion time the job would have there for Qm, Rm and Rm_Rj. A release
// date never enters the key: it only delays the start on the chosen machine.
//
// Maxima are the largest term over all jobs. With no jobs every objective is
// 0 (0.0) except Lmax and Wj_Lmax, which are −2147483647 (−2147483647.0).
// Fewer than one machine ends the process through `error` naming the
// evaluator, as does a speed below 1 on uniform machines.

// Identical machines: job j takes pt[j] on every machine.
long Pm_Cmax(const int* seq, int jobs, int machs, const int* pt);
long Pm_Emax(const int* seq, int jobs, int machs, const int* pt, const long* dd);
long Pm_Lmax(const int* seq, int jobs, int machs, const int* pt, const long* dd);
long Pm_SumCj(const int* seq, int jobs, int machs, const int* pt);
long Pm_SumEj(const int* seq, int jobs, int machs, const int* pt, const long* dd);
long Pm_SumLj(const int* seq, int jobs, int machs, const int* pt, const long* dd);
long Pm_SumTj(const int* seq, int jobs, int machs, const int* pt, const long* dd);
long Pm_SumUj(const int* seq, int jobs, int machs, const int* pt, const long* dd);
long Pm_Tmax(const int* seq, int jobs, int machs, const int* pt, const long* dd);

long Pm_Rj_Cmax(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_Emax(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_Fmax(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_Lmax(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_SumCj(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_SumEj(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_SumFj(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_SumLj(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_SumTj(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_SumUj(const int* seq, PARALLEL_MACHINES instance);
long Pm_Rj_Tmax(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_Cmax(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_Emax(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_Fmax(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_Lmax(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_SumCj(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_SumEj(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_SumFj(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_SumLj(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_SumTj(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_SumUj(const int* seq, PARALLEL_MACHINES instance);
double Pm_Rj_Wj_Tmax(const int* seq, PARALLEL_MACHINES instance);
[[nodiscard]] long* Pm_Rj_Cj(const int* seq, PARALLEL_MACHINES instance);

// Uniform machines: job j takes lround(pt[j] / v[i]) on machine i, the
// quotient formed in double.
long Qm_Cmax(const int* seq, int jobs, int machs, const int* pt, const int* v);
long Qm_Emax(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);
long Qm_Lmax(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);
long Qm_SumCj(const int* seq, int jobs, int machs, const int* pt, const int* v);
long Qm_SumEj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);
long Qm_SumLj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);
long Qm_SumTj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);
long Qm_SumUj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);
long Qm_Tmax(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd);

long Qm_Rj_Cmax(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_Emax(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_Fmax(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_Lmax(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_SumCj(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_SumEj(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_SumFj(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_SumLj(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_SumTj(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_SumUj(const int* seq, RELATED_MACHINES instance);
long Qm_Rj_Tmax(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_Cmax(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_Emax(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_Fmax(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_Lmax(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_SumCj(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_SumEj(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_SumFj(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_SumLj(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_SumTj(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_SumUj(const int* seq, RELATED_MACHINES instance);
double Qm_Rj_Wj_Tmax(const int* seq, RELATED_MACHINES instance);
[[nodiscard]] long* Qm_Rj_Cj(const int* seq, RELATED_MACHINES instance);

// Unrelated machines: job j takes pt[i][j] on machine i (machine rows).
long Rm_Cmax(const int* seq, int jobs, int machs, const int* const* pt);
long Rm_Emax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Rm_Lmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Rm_SumCj(const int* seq, int jobs, int machs, const int* const* pt);
long Rm_SumEj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Rm_SumLj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Rm_SumTj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Rm_SumUj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Rm_Tmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);

long Rm_Rj_Cmax(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_Emax(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_Fmax(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_Lmax(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_SumCj(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_SumEj(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_SumFj(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_SumLj(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_SumTj(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_SumUj(const int* seq, UNRELATED_MACHINES instance);
long Rm_Rj_Tmax(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_Cmax(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_Emax(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_Fmax(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_Lmax(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_SumCj(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_SumEj(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_SumFj(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_SumLj(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_SumTj(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_SumUj(const int* seq, UNRELATED_MACHINES instance);
double Rm_Rj_Wj_Tmax(const int* seq, UNRELATED_MACHINES instance);
[[nodiscard]] long* Rm_Rj_Cj(const int* seq, UNRELATED_MACHINES instance);

// ---------------------------------------------------------------------------
// Permutation flow shop
// ---------------------------------------------------------------------------

// Every job visits machines 0, 1, …, m − 1 in that order, and every machine
// takes the jobs in sequence order: an operation starts when the job has left
// the previous machine and the machine has finished the previous job. Release
// dates delay a job on machine 0 only. C_j is the completion on the last
// machine; `Cmax` that of the last job of the sequence. `pt` has one row per
// machine. With no machines a job completes at its release date.
long Fm_Prmu_Cmax(const int* seq, int jobs, int machs, const int* const* pt);
long Fm_Prmu_Emax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Fm_Prmu_Lmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Fm_Prmu_SumCj(const int* seq, int jobs, int machs, const int* const* pt);
long Fm_Prmu_SumEj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Fm_Prmu_SumLj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Fm_Prmu_SumTj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Fm_Prmu_SumUj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);
long Fm_Prmu_Tmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd);

long Fm_Prmu_Rj_Cmax(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_Emax(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_Fmax(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_Lmax(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_SumCj(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_SumEj(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_SumFj(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_SumLj(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_SumTj(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_SumUj(const int* seq, FLOWSHOP instance);
long Fm_Prmu_Rj_Tmax(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_Cmax(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_Emax(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_Fmax(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_Lmax(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_SumCj(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_SumEj(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_SumFj(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_SumLj(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_SumTj(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_SumUj(const int* seq, FLOWSHOP instance);
double Fm_Prmu_Rj_Wj_Tmax(const int* seq, FLOWSHOP instance);
[[nodiscard]] long* Fm_Prmu_Rj_Cj(const int* seq, FLOWSHOP instance);

// Best-insertion support for constructions and insertion neighbourhoods
// (NEH, iterated greedy): for l = 0 … len, makespans[l] receives the makespan
// of the sequence seq[0 … l − 1], job, seq[l … len − 1] — the value
// Fm_Prmu_Cmax (Fm_Prmu_Rj_Cmax) returns for it — all len + 1 values together
// in O(len · machines) time. `seq` holds len jobs, `job` is not among them,
// and `makespans` holds len + 1 entries. A negative `len` ends the process
// through `error` naming the routine.
void Fm_Prmu_Insert_Cmax(const int* seq, int len, int job, int machs, const int* const* pt, long* makespans);
void Fm_Prmu_Rj_Insert_Cmax(const int* seq, int len, int job, FLOWSHOP instance, long* makespans);

// Batch evaluation, as for the single machine (see S1_Cmax_many): `count`
// sequences of `jobs` entries back to back in `seqs`, out[s] bit for bit what
// the evaluator without `_many` returns for sequence s, the sequences not
// checked (the caller's duty).
void Fm_Prmu_Cmax_many(const int* seqs, int count, int jobs, int machs, const int* const* pt, long* out);
void Fm_Prmu_Rj_Cmax_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_Emax_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_Fmax_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_Lmax_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_SumCj_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_SumEj_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_SumFj_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_SumLj_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_SumTj_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_SumUj_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_Tmax_many(const int* seqs, int count, FLOWSHOP instance, long* out);
void Fm_Prmu_Rj_Wj_Cmax_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_Emax_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_Fmax_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_Lmax_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_SumCj_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_SumEj_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_SumFj_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_SumLj_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_SumTj_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_SumUj_many(const int* seqs, int count, FLOWSHOP instance, double* out);
void Fm_Prmu_Rj_Wj_Tmax_many(const int* seqs, int count, FLOWSHOP instance, double* out);

// ---------------------------------------------------------------------------
// Job shop
// ---------------------------------------------------------------------------

// Every job has one operation on each machine and visits the machines in its
// own order, rt[j][0], rt[j][1], … (`pt` has one row per machine). An
// operation sequence `seq_ops` holds jobs × machines job indices: the k-th
// occurrence of job j stands for its k-th operation, and the order of the
// occurrences of different jobs is the order in which operations are placed.
// Each operation starts once its job has finished its previous operation (the
// first one: once the job is released) and its machine has finished the
// operation placed on it before; machines are free from time 0, so no
// operation starts before 0. C_j is the completion of job j's last operation;
// the objectives fold the jobs in index order. Maxima are the largest term
// over all jobs; with no jobs every objective is 0 (0.0).
//
// An entry that is not a job index, a job met more than `machines` times, or
// a routing entry outside 0 … machines − 1 ends the process through `error`
// naming the evaluator.
long Jm_Rj_Cmax(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_Emax(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_Fmax(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_Lmax(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_SumCj(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_SumEj(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_SumFj(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_SumLj(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_SumTj(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_SumUj(const int* seq_ops, JOBSHOP instance);
long Jm_Rj_Tmax(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_Cmax(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_Emax(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_Fmax(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_Lmax(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_SumCj(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_SumEj(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_SumFj(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_SumLj(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_SumTj(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_SumUj(const int* seq_ops, JOBSHOP instance);
double Jm_Rj_Wj_Tmax(const int* seq_ops, JOBSHOP instance);
[[nodiscard]] long* Jm_Rj_Cj(const int* seq_ops, JOBSHOP instance);

// ---------------------------------------------------------------------------
// Schedule files
// ---------------------------------------------------------------------------

// Each writer builds the schedule its environment's record evaluators build
// for the sequence (the operation sequence for the job shop) and writes it to
// `filename`, replacing any file of that name. The file has four lines:
//
//   [JOBS=n]
//   [MACHINES=m]
//   [SCHEDULE_DATA=groups]
//   [JOB_ORDER=j0,j1,…]
//
// One group per job, groups separated by ';', in the order JOB_ORDER lists
// the jobs: the sequence, or 0, 1, …, n − 1 for the job shop. A group lists
// the job's operations as machine,start,duration triples, separated by ','
// (one triple on single and parallel machines; on the flow shop one per
// machine in machine order; on the job shop one per operation in routing
// order). With no jobs both lists are empty.
//
// A file that cannot be opened ends the process through `error` code 2
// ("File not found: " and the name); one that cannot be written in full (a
// full disk) through `error` naming the writer and the file. A negative number of jobs, fewer than
// one machine (except on the single machine, which has one by definition), a
// speed below 1, or an operation sequence the job shop cannot follow ends it
// through `error` naming the writer, before the file is opened.
void S1_Rj_GenSchedule(const int* seq, SINGLE_MACHINE instance, const char* filename);
void Pm_Rj_GenSchedule(const int* seq, PARALLEL_MACHINES instance, const char* filename);
// Also shows on standard output, for each job in sequence order,
// "Trabajo <job> asignado a maquina <machine>" and then the time from which
// each machine is free (print_long_vector), before the file is written.
void Qm_Rj_GenSchedule(const int* seq, RELATED_MACHINES instance, const char* filename);
void Rm_Rj_GenSchedule(const int* seq, UNRELATED_MACHINES instance, const char* filename);
void Fm_Prmu_Rj_GenSchedule(const int* seq, FLOWSHOP instance, const char* filename);
void Jm_Rj_GenSchedule(const int* seq_ops, JOBSHOP instance, const char* filename);

}  // namespace schedule

#endif  // SCHEDULE_SCHEDULE_H
