// The shared state's one instance and the program's constant tables.
#include "shell/shared_state.h"

#include <cstring>

SharedState state;

const Palette palette = {
    {0, 0, 0, 128, 128, 255, 192, 128, 0, 0, 0, 255, 255, 255, 255},
    {0, 128, 128, 0, 0, 255, 192, 128, 0, 255, 255, 0, 0, 255, 255},
    {128, 0, 128, 0, 128, 0, 192, 128, 255, 0, 255, 0, 255, 0, 255},
};

const char note_names[NOTE_NAME_COUNT][NOTE_NAME_SIZE] = {
    "A", "Bb", "B", "C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#",
    "A", "Bb", "B", "C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#",
    "A", "Bb", "B", "C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#",
    "A",
};

void reset_shared_state()
{
    memset(&state, 0, sizeof state);
    state.magnify_level = 2;
}

namespace {
// The record starts with its initial values before any window exists.
struct InitialState {
    InitialState() { reset_shared_state(); }
} initial_state;
}
