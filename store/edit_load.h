// The editor's loading: the chosen song's lines into the editor's text box.
#pragma once

// Puts state.current_title (as chosen) into the title box, looks the song up and
// puts its body into the text box: every line through strip_markup and followed
// by CR LF, as long as the text fits state.edit_buf with its terminating zero.
// Sets state.edit_song_pos to the offset of the song's title record (-1 when it
// is not found; the text box then keeps its text) and state.edit_truncated to 1
// when the song did not fit, which the user is told in a message box.
void load_song_for_editing();
