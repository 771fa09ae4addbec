// Vectors, matrices, scalar helpers, error reporting and console printing.
#include <algorithm>
#include <cfenv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

namespace {

using testing_support::captured_stdout;
using testing_support::stdout_to_stderr;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(SupportPrinting, VectorsUseTheirFormatsAndSeparators) {
    const int one[] = {42};
    const int three[] = {3, 10, 7};
    const long longs[] = {5, -12};
    const long wide[] = {123456789L};
    const float floats[] = {1.5f, -0.25f};
    const double doubles[] = {1, 2, 0.5};
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_vector(one, 1); }), "(   42)\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_vector(three, 3); }), "(    3,   10,    7)\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_vector(three, 2); }), "(    3,   10)\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_long_vector(longs, 2); }), "(       5,     -12)\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_long_vector(wide, 1); }), "(123456789)\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_float_vector(floats, 2); }), "(1.500000,-0.250000)\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_double_vector(doubles, 3); }),
              "(1.000000,2.000000,0.500000)\n");
}

TEST(SupportPrinting, EmptyOrNegativeLengthVectorsReadNothing) {
    EXPECT_EQ(captured_stdout([] { schedule::print_int_vector(nullptr, 0); }), "()\n");
    EXPECT_EQ(captured_stdout([] { schedule::print_long_vector(nullptr, -1); }), "()\n");
    EXPECT_EQ(captured_stdout([] { schedule::print_float_vector(nullptr, 0); }), "()\n");
    EXPECT_EQ(captured_stdout([] { schedule::print_double_vector(nullptr, -7); }), "()\n");
}

TEST(SupportPrinting, MatricesPrintOneLinePerRowWithoutSeparators) {
    const int ir0[] = {1, -2, 300000};
    const int ir1[] = {4, 55, 6};
    const int* const im[] = {ir0, ir1};
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_matrix(im, 2, 3); }),
              "    1   -2300000\n    4   55    6\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_matrix(im, 2, 0); }), "\n\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_matrix(im, 0, 3); }), "");

    const long lr0[] = {7, -8};
    const long* const lm[] = {lr0};
    EXPECT_EQ(captured_stdout([&] { schedule::print_long_matrix(lm, 1, 2); }), "    7   -8\n");

    const float fr0[] = {0.5f, 2.0f};
    const float* const fm[] = {fr0};
    EXPECT_EQ(captured_stdout([&] { schedule::print_float_matrix(fm, 1, 2); }), "0.5000002.000000\n");

    const double dr0[] = {-1.25};
    const double dr1[] = {3.0};
    const double* const dm[] = {dr0, dr1};
    EXPECT_EQ(captured_stdout([&] { schedule::print_double_matrix(dm, 2, 1); }), "-1.250000\n3.000000\n");
}

// Integers are printed without printf; every width, sign and extreme must
// still come out as printf would write it, including rows longer than the
// block the printers write at once.
TEST(SupportPrinting, IntegersAsPrintfWritesThem) {
    const std::vector<long> values{0, 1, 7, -1, -7, 9, 10, 99, 100, -99, -100, 9999, -9999, 99999, -99999, 123456, -1234567,
                                   INT_MAX, INT_MIN, LONG_MAX, LONG_MIN, 10000000, -10000000};
    std::string ints = "(";
    std::string longs = "(";
    std::vector<int> as_int;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int v = static_cast<int>(std::clamp<long>(values[i], INT_MIN, INT_MAX));
        as_int.push_back(v);
        char text[64];
        std::snprintf(text, sizeof text, "%5d", v);
        ints += text;
        std::snprintf(text, sizeof text, "%8ld", values[i]);
        longs += text;
        ints += i + 1 < values.size() ? ',' : ')';
        longs += i + 1 < values.size() ? ',' : ')';
    }
    const int n = static_cast<int>(values.size());
    EXPECT_EQ(captured_stdout([&] { schedule::print_int_vector(as_int.data(), n); }), ints + "\n");
    EXPECT_EQ(captured_stdout([&] { schedule::print_long_vector(values.data(), n); }), longs + "\n");

    // A matrix row of 3000 elements, several blocks long, between other output.
    std::vector<int> row(3000);
    std::vector<long> long_row(3000);
    std::string expected = "before\n";
    std::string expected_long = "before\n";
    for (int j = 0; j < 3000; ++j) {
        row[j] = (j % 2 == 0 ? 1 : -1) * j * 997;
        long_row[j] = 1000003L * row[j];
        char text[64];
        std::snprintf(text, sizeof text, "%5d", row[j]);
        expected += text;
        std::snprintf(text, sizeof text, "%5ld", long_row[j]);
        expected_long += text;
    }
    expected += "\nafter\n";
    expected_long += "\nafter\n";
    const int* const rows[] = {row.data()};
    const long* const long_rows[] = {long_row.data()};
    EXPECT_EQ(captured_stdout([&] {
                  std::printf("before\n");
                  schedule::print_int_matrix(rows, 1, 3000);
                  std::printf("after\n");
              }),
              expected);
    EXPECT_EQ(captured_stdout([&] {
                  std::printf("before\n");
                  schedule::print_long_matrix(long_rows, 1, 3000);
                  std::printf("after\n");
              }),
              expected_long);
}

// Fixed-point numbers are printed without printf where the result is the
// same; ties at the sixth decimal, the extremes, the values that are not
// numbers and other rounding modes must still come out as printf writes them.
TEST(SupportPrinting, FixedPointAsPrintfWritesIt) {
    std::vector<double> values{0.0, -0.0, 0.0078125, 0.0234375, -0.0078125, 2.5, 0.5e-6, 1.5e-6, 1e-7,
                               4.76837158203125e-07, 1.0 / 3, 2.0 / 3, 1e22, 1e23, 9007199254740993.0,
                               std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                               kInf, -kInf, kNaN, -kNaN, 123456.789, 99999.9999995};
    std::uint64_t state = 12345;
    for (int k = 0; k < 400; ++k) {  // every magnitude from 1e-9 to 1e12, odd bit patterns
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        values.push_back((k % 2 == 0 ? 1 : -1) * unit * std::pow(10.0, k % 22 - 9));
    }
    std::vector<float> floats(values.begin(), values.end());
    const int n = static_cast<int>(values.size());
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        std::string expected = "(";
        std::string expected_float = "(";
        std::string expected_row;
        for (int i = 0; i < n; ++i) {
            char text[400];
            std::snprintf(text, sizeof text, "%5lf", values[i]);
            expected += text;
            expected_row += text;
            std::snprintf(text, sizeof text, "%5f", static_cast<double>(floats[i]));
            expected_float += text;
            expected += i + 1 < n ? ',' : ')';
            expected_float += i + 1 < n ? ',' : ')';
        }
        const std::string doubles = captured_stdout([&] { schedule::print_double_vector(values.data(), n); });
        const std::string as_floats = captured_stdout([&] { schedule::print_float_vector(floats.data(), n); });
        const double* const rows[] = {values.data()};
        const std::string row = captured_stdout([&] { schedule::print_double_matrix(rows, 1, n); });
        std::fesetround(FE_TONEAREST);
        EXPECT_EQ(doubles, expected + "\n") << "rounding mode " << mode;
        EXPECT_EQ(as_floats, expected_float + "\n") << "rounding mode " << mode;
        EXPECT_EQ(row, expected_row + "\n") << "rounding mode " << mode;
    }
}

TEST(SupportScalars, LroundRoundsHalvesUpwardAndSaturates) {
    EXPECT_EQ(schedule::lround(2.4), 2);
    EXPECT_EQ(schedule::lround(2.5), 3);
    EXPECT_EQ(schedule::lround(2.6), 3);
    EXPECT_EQ(schedule::lround(3.0), 3);
    EXPECT_EQ(schedule::lround(-2.4), -2);
    EXPECT_EQ(schedule::lround(-2.5), -2);
    EXPECT_EQ(schedule::lround(-2.6), -3);
    EXPECT_EQ(schedule::lround(-0.5), 0);
    EXPECT_EQ(schedule::lround(0.5), 1);
    EXPECT_EQ(schedule::lround(-1.5), -1);
    EXPECT_EQ(schedule::lround(0.0), 0);
    // Values where adding 0.5 before flooring would round the wrong way.
    EXPECT_EQ(schedule::lround(0.49999999999999994), 0);
    EXPECT_EQ(schedule::lround(-0.49999999999999994), 0);
    EXPECT_EQ(schedule::lround(4503599627370497.0), 4503599627370497L);
    EXPECT_EQ(schedule::lround(-4503599627370497.0), -4503599627370497L);
    EXPECT_EQ(schedule::lround(4611686018427387904.0), 4611686018427387904L);

    EXPECT_EQ(schedule::lround(kNaN), 0);
    EXPECT_EQ(schedule::lround(-kNaN), 0);
    EXPECT_EQ(schedule::lround(kInf), LONG_MAX);
    EXPECT_EQ(schedule::lround(-kInf), LONG_MIN);
    EXPECT_EQ(schedule::lround(1e300), LONG_MAX);
    EXPECT_EQ(schedule::lround(-1e300), LONG_MIN);
    EXPECT_EQ(schedule::lround(9223372036854775808.0), LONG_MAX);  // 2^63
    EXPECT_EQ(schedule::lround(-9223372036854775808.0), LONG_MIN);
    EXPECT_EQ(schedule::lround(-9223372036854777856.0), LONG_MIN);  // next double below -2^63
}

TEST(SupportScalars, SignTreatsZeroAsPositive) {
    EXPECT_EQ(schedule::sign(0), 1);
    EXPECT_EQ(schedule::sign(5), 1);
    EXPECT_EQ(schedule::sign(-3), -1);
    EXPECT_EQ(schedule::sign(INT_MAX), 1);
    EXPECT_EQ(schedule::sign(INT_MIN), -1);
}

TEST(SupportScalars, MinAndMaxPickTheDocumentedArgument) {
    EXPECT_EQ(schedule::iMax(3, -4), 3);
    EXPECT_EQ(schedule::iMax(-4, 3), 3);
    EXPECT_EQ(schedule::iMin(3, -4), -4);
    EXPECT_EQ(schedule::iMin(INT_MIN, INT_MAX), INT_MIN);
    EXPECT_EQ(schedule::lMax(LONG_MIN, LONG_MAX), LONG_MAX);
    EXPECT_EQ(schedule::lMax(7L, 7L), 7L);
    EXPECT_EQ(schedule::lMin(LONG_MAX, -1L), -1L);
    EXPECT_EQ(schedule::fMax(1.5f, 2.5f), 2.5f);
    EXPECT_EQ(schedule::fMin(1.5f, 2.5f), 1.5f);
    EXPECT_EQ(schedule::dMax(-1.0, -2.0), -1.0);
    EXPECT_EQ(schedule::dMin(-1.0, -2.0), -2.0);

    // Ties between +0 and -0: fMax keeps the first only when strictly greater,
    // dMax when greater or equal, the Mins when less or equal.
    EXPECT_TRUE(std::signbit(schedule::fMax(+0.0f, -0.0f)));
    EXPECT_FALSE(std::signbit(schedule::fMax(-0.0f, +0.0f)));
    EXPECT_FALSE(std::signbit(schedule::dMax(+0.0, -0.0)));
    EXPECT_TRUE(std::signbit(schedule::dMax(-0.0, +0.0)));
    EXPECT_FALSE(std::signbit(schedule::fMin(+0.0f, -0.0f)));
    EXPECT_TRUE(std::signbit(schedule::fMin(-0.0f, +0.0f)));
    EXPECT_FALSE(std::signbit(schedule::dMin(+0.0, -0.0)));
    EXPECT_TRUE(std::signbit(schedule::dMin(-0.0, +0.0)));

    // With NaN on either side the second argument comes back.
    EXPECT_EQ(schedule::fMax(kNaNf, 1.0f), 1.0f);
    EXPECT_TRUE(std::isnan(schedule::fMax(1.0f, kNaNf)));
    EXPECT_EQ(schedule::fMin(kNaNf, 1.0f), 1.0f);
    EXPECT_TRUE(std::isnan(schedule::fMin(1.0f, kNaNf)));
    EXPECT_EQ(schedule::dMax(kNaN, -1.0), -1.0);
    EXPECT_TRUE(std::isnan(schedule::dMax(-1.0, kNaN)));
    EXPECT_EQ(schedule::dMin(kNaN, -1.0), -1.0);
    EXPECT_TRUE(std::isnan(schedule::dMin(-1.0, kNaN)));
}

TEST(SupportError, NonStoppingCodesWriteMessageThenInfo) {
    const auto run = [](int code, const char* info) {
        return captured_stdout([&] { schedule::error(code, 0, info); });
    };
    EXPECT_EQ(run(1, "x"), "Memory is not enough\nx\n");
    EXPECT_EQ(run(2, "data.txt"), "File not found: data.txt\n");
    EXPECT_EQ(run(3, "f()"), "Negatives values are not allowed in function f()\n");
    EXPECT_EQ(run(4, ""), "Number of arguments is not correct\n\n");
    EXPECT_EQ(run(5, "DD"), "Value not found in DD while it should\nDD\n");
    EXPECT_EQ(run(999, "misc"), "Other error(s): misc\n");
    EXPECT_EQ(run(7, "x"), "Unknown error\nx\n");
    EXPECT_EQ(run(0, "y"), "Unknown error\ny\n");
    EXPECT_EQ(run(-1, "z"), "Unknown error\nz\n");
    EXPECT_EQ(run(998, "w"), "Unknown error\nw\n");
}

TEST(SupportErrorDeathTest, StoppingCodesExitWithStatusOne) {
    EXPECT_EXIT({ stdout_to_stderr(); schedule::error(5, 1, "abc"); }, testing::ExitedWithCode(1),
                testing::Eq("Value not found in abc while it should\nabc\n"));
    EXPECT_EXIT({ stdout_to_stderr(); schedule::error(2, -3, "in.txt"); }, testing::ExitedWithCode(1),
                testing::Eq("File not found: in.txt\n"));
    EXPECT_EXIT({ stdout_to_stderr(); schedule::error(42, 1, ""); }, testing::ExitedWithCode(1),
                testing::Eq("Unknown error\n\n"));
}

TEST(SupportAllocationDeathTest, FailedAllocationsEndTheProcess) {
    const auto exits_with = [](const char* text) { return testing::Eq(std::string(text)); };
    EXPECT_EXIT({ stdout_to_stderr(); (void)schedule::newDVector(-1); }, testing::ExitedWithCode(1),
                exits_with("Memory is not enough\nError in newDVector()\n"));
    EXPECT_EXIT({ stdout_to_stderr(); (void)schedule::newFVector(-1); }, testing::ExitedWithCode(1),
                exits_with("Memory is not enough\nError in newFVector()\n"));
    EXPECT_EXIT({ stdout_to_stderr(); (void)schedule::newLVector(-5); }, testing::ExitedWithCode(1),
                exits_with("Memory is not enough\nError in newLVector()\n"));
    EXPECT_EXIT({ stdout_to_stderr(); (void)schedule::dyn_mat(-1, 3, 4); }, testing::ExitedWithCode(1),
                exits_with("Memory is not enough\nError in dyn_mat()\n\n"));
    EXPECT_EXIT({ stdout_to_stderr(); (void)schedule::dyn_mat(2, -1, 4); }, testing::ExitedWithCode(1),
                exits_with("Memory is not enough\nError in dyn_mat()\n\n"));
    static const int vcol[] = {3, -1};
    EXPECT_EXIT({ stdout_to_stderr(); (void)schedule::dyn_var_mat(2, vcol, 4); }, testing::ExitedWithCode(1),
                exits_with("Memory is not enough\nError in dyn_var_mat()\n\n"));
}

TEST(SupportAllocation, VectorsAndMatricesHaveTheRequestedShape) {
    // Writing every element and freeing lets the sanitizers check the sizes.
    double* d = schedule::newDVector(4);
    float* f = schedule::newFVector(3);
    long* l = schedule::newLVector(2);
    int* i = schedule::newIVector(5);
    ASSERT_TRUE(d && f && l && i);
    schedule::setval_Dvector(d, 4, 2.5);
    schedule::setval_Fvector(f, 3, -1.0f);
    schedule::setval_Lvector(l, 2, LONG_MIN);
    schedule::setval_Ivector(i, 5, 9);
    EXPECT_EQ(d[3], 2.5);
    EXPECT_EQ(f[2], -1.0f);
    EXPECT_EQ(l[1], LONG_MIN);
    EXPECT_EQ(i[4], 9);
    std::free(d);
    std::free(f);
    std::free(l);
    std::free(i);

    int* empty = nullptr;
    EXPECT_EQ(captured_stdout([&] { empty = schedule::newIVector(0); }), "");
    std::free(empty);
    EXPECT_EQ(captured_stdout([&] { empty = schedule::newIVector(-3); }), "");
    std::free(empty);

    long** lm = reinterpret_cast<long**>(schedule::dyn_mat(3, 4, sizeof(long)));
    ASSERT_NE(lm, nullptr);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) lm[r][c] = 10L * r + c;
    EXPECT_EQ(lm[0][3], 3L);
    EXPECT_EQ(lm[2][0], 20L);
    EXPECT_EQ(lm[1][2], 12L);
    schedule::free_mat_long(lm, 3);

    int** none = reinterpret_cast<int**>(schedule::dyn_mat(0, 5, sizeof(int)));
    schedule::free_mat_int(none, 0);

    const int vcol[] = {1, 0, 3};
    double** vm = reinterpret_cast<double**>(schedule::dyn_var_mat(3, vcol, sizeof(double)));
    ASSERT_NE(vm, nullptr);
    vm[0][0] = 1.0;
    vm[2][0] = 2.0;
    vm[2][2] = 3.0;
    EXPECT_EQ(vm[0][0] + vm[2][0] + vm[2][2], 6.0);
    schedule::free_mat_double(vm, 3);
}

TEST(SupportFill, CopiesTouchExactlyTheRequestedElements) {
    const int isrc[] = {1, 2, 3, 4};
    int idst[] = {-1, -1, -1, -1};
    schedule::copyIVector(isrc, idst, 0);
    schedule::copyIVector(isrc, idst, -2);
    EXPECT_EQ(std::vector<int>(idst, idst + 4), (std::vector<int>{-1, -1, -1, -1}));
    schedule::copyIVector(isrc, idst, 3);
    EXPECT_EQ(std::vector<int>(idst, idst + 4), (std::vector<int>{1, 2, 3, -1}));

    const long lsrc[] = {LONG_MAX, -5};
    long ldst[] = {0, 0, 0};
    schedule::copyLVector(lsrc, ldst, 2);
    EXPECT_EQ(std::vector<long>(ldst, ldst + 3), (std::vector<long>{LONG_MAX, -5, 0}));
    const double dsrc[] = {0.5, -0.0};
    double ddst[] = {9, 9, 9};
    schedule::copyDVector(dsrc, ddst, 2);
    EXPECT_EQ(ddst[0], 0.5);
    EXPECT_TRUE(std::signbit(ddst[1]));
    EXPECT_EQ(ddst[2], 9.0);
    const float fsrc[] = {1.25f};
    float fdst[] = {7.0f, 7.0f};
    schedule::copyFVector(fsrc, fdst, 1);
    EXPECT_EQ(fdst[0], 1.25f);
    EXPECT_EQ(fdst[1], 7.0f);

    int** im = reinterpret_cast<int**>(schedule::dyn_mat(3, 4, sizeof(int)));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) im[r][c] = 10 * r + c;
    int row[] = {-1, -1, -1, -1};
    schedule::copyrowImatrix(im, row, 1, 3);
    EXPECT_EQ(std::vector<int>(row, row + 4), (std::vector<int>{10, 11, 12, -1}));
    schedule::copyrowImatrix(im, row, 2, 0);
    EXPECT_EQ(row[0], 10);

    const int paste[] = {7, 8};
    schedule::pasterowImatrix(im, paste, 2, 2);
    EXPECT_EQ(std::vector<int>(im[2], im[2] + 4), (std::vector<int>{7, 8, 22, 23}));
    EXPECT_EQ(std::vector<int>(im[1], im[1] + 4), (std::vector<int>{10, 11, 12, 13}));
    schedule::pasterowImatrix(im, paste, 0, -1);
    EXPECT_EQ(im[0][0], 0);

    schedule::setval_Imatrix(im, 2, 3, 5);
    EXPECT_EQ(std::vector<int>(im[0], im[0] + 4), (std::vector<int>{5, 5, 5, 3}));
    EXPECT_EQ(std::vector<int>(im[1], im[1] + 4), (std::vector<int>{5, 5, 5, 13}));
    EXPECT_EQ(std::vector<int>(im[2], im[2] + 4), (std::vector<int>{7, 8, 22, 23}));
    schedule::setval_Imatrix(im, 0, 4, 6);
    schedule::setval_Imatrix(im, 3, 0, 6);
    EXPECT_EQ(im[2][0], 7);
    schedule::free_mat_int(im, 3);

    const double dr0[] = {1.0, 2.0};
    const double dr1[] = {3.0, 4.0};
    const double* const dm[] = {dr0, dr1};
    double drow[] = {0, 0};
    schedule::copyrowDmatrix(dm, drow, 1, 2);
    EXPECT_EQ(drow[0], 3.0);
    EXPECT_EQ(drow[1], 4.0);
    const float fr0[] = {1.5f, 2.5f};
    const float* const fm[] = {fr0};
    float frow[] = {0, 0};
    schedule::copyrowFmatrix(fm, frow, 0, 1);
    EXPECT_EQ(frow[0], 1.5f);
    EXPECT_EQ(frow[1], 0.0f);
    const long lr0[] = {4, 5};
    const long lr1[] = {6, 7};
    const long* const lmat[] = {lr0, lr1};
    long lrow[] = {0, 0};
    schedule::copyrowLmatrix(lmat, lrow, 0, 2);
    EXPECT_EQ(lrow[1], 5L);

    double** dmm = reinterpret_cast<double**>(schedule::dyn_mat(2, 2, sizeof(double)));
    float** fmm = reinterpret_cast<float**>(schedule::dyn_mat(2, 2, sizeof(float)));
    long** lmm = reinterpret_cast<long**>(schedule::dyn_mat(2, 2, sizeof(long)));
    schedule::setval_Dmatrix(dmm, 2, 2, 0.0);
    schedule::setval_Fmatrix(fmm, 2, 2, 0.0f);
    schedule::setval_Lmatrix(lmm, 2, 2, 0L);
    schedule::setval_Dmatrix(dmm, 1, 2, -2.5);
    schedule::setval_Fmatrix(fmm, 2, 1, 3.5f);
    schedule::setval_Lmatrix(lmm, 2, 2, -9L);
    EXPECT_EQ(dmm[0][1], -2.5);
    EXPECT_EQ(dmm[1][0], 0.0);
    EXPECT_EQ(fmm[1][0], 3.5f);
    EXPECT_EQ(fmm[1][1], 0.0f);
    EXPECT_EQ(lmm[1][1], -9L);
    schedule::free_mat_double(dmm, 2);
    schedule::free_mat_float(fmm, 2);
    schedule::free_mat_long(lmm, 2);

    double dv[] = {1, 1};
    schedule::setval_Dvector(dv, -1, 0.0);
    schedule::setval_Dvector(dv, 1, 4.0);
    EXPECT_EQ(dv[0], 4.0);
    EXPECT_EQ(dv[1], 1.0);
}

}  // namespace
