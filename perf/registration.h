// The benchmark groups, registered by main before the command line is read.
#ifndef ZURUDUDO_PERF_REGISTRATION_H
#define ZURUDUDO_PERF_REGISTRATION_H

#include <filesystem>

void register_evaluator_benchmarks();

// The earliest-free rule's scan and tournament, forced, as the machines grow.
void register_dispatch_benchmarks();

// The batch entry points next to a loop of one-at-a-time evaluations, and the
// instruction set the batch uses on this processor.
void register_batch_benchmarks();
const char* batch_instruction_set();

// Cost per unit of work as n and m grow, and peak memory of evaluations.
void register_scaling_benchmarks();

// The flow-shop insertion routines next to evaluating every insertion whole.
void register_insertion_benchmarks();

// Writes the instance files the loaders read into a new directory under
// `scratch` and registers the input benchmarks; returns that directory.
std::filesystem::path register_input_benchmarks(const std::filesystem::path& scratch);

#endif  // ZURUDUDO_PERF_REGISTRATION_H
