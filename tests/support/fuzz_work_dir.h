// The work folder of a fuzz target: a fresh folder that is the current directory
// only while one input runs (libFuzzer keeps relative corpus paths), removed with
// the files the target left in it at exit; crash files go to the starting folder.
#pragma once

// Makes the folder from a mkdtemp pattern; files is a null-terminated list of the
// names to remove at exit. Adds -artifact_prefix unless the command line has one.
void fuzz_work_dir_init(int* argc, char*** argv, const char* pattern, const char* const* files);
void enter_work_dir();
void leave_work_dir();
