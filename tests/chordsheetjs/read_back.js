// Reads ChordPro files with chordsheetjs and prints each song as rows: its title, then
// each chord row ("<" and the chords at the columns of their syllables) and each row of
// words (" " and the words), blanks at the end of a row or a song left off.
const { ChordProParser } = require('chordsheetjs');
const fs = require('fs');

for (const file of process.argv.slice(2)) {
  const song = new ChordProParser().parse(fs.readFileSync(file, 'utf8').replace(/\r/g, ''));
  let out = song.title + '\n';
  for (const line of song.lines) {
    let chords = '', words = '';
    for (const item of line.items) {
      if (!('chords' in item))
        continue;   // a directive or a comment
      if (item.chords)
        chords = chords.padEnd(words.length) + item.chords;
      words += item.lyrics || '';
    }
    if (line.items.some((item) => !('chords' in item)) && !chords && !words.trim())
      continue;
    if (chords)
      out += '<' + chords + '\n';
    if (!chords || words.trim())
      out += ' ' + words.trimEnd() + '\n';
  }
  process.stdout.write(out.replace(/( \n)+$/, ''));   // the file's last line end starts an empty line
}
