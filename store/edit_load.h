// The editor's loading: the chosen song's lines into the editor's text box.
#pragma once

#include "shell/shared_state.h"
#include "store/rewrite.h"

// Puts the session's title (as chosen) into the editor's title box, looks the
// song up and puts its body into the text box: every line through strip_markup
// and followed by CR LF, as long as the text fits state.edit_buf with its
// terminating zero. The session then holds that song (where it stands and what
// it holds), or nothing when it is not found (the text box keeps its text); a
// song that did not fit marks the session truncated, which the user is told in
// a message box.
void load_song_for_editing(UiWindow editor, EditSession* session);
