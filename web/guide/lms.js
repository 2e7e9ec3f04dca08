// What an LMS's download holds beside the students' files. Blackboard's
// writes, for each attempt, a note (a .txt: "Name: Ben Okri (bokri)",
// "Date Submitted: ...") named like the attempt's files without what
// follows; such a note is no sheet: it is left out, counted, and the
// attempt's files are put in a folder of the student it names, as other
// LMSs write them, so that their rows are the student's.
const note = /^Name:\s*(.+?)\s*(?:\(([^)]*)\))?\s*$/m;
const isNote = (text) => /^\s*Name:/.test(text) && /^Date Submitted:/m.test(text);

// The sheets `sheets` ([{ name, text }]) as read: { sheets, notes } with
// the notes left out.
export function withoutNotes(sheets) {
  const notes = sheets.filter((sheet) => /\.txt$/i.test(sheet.name) && isNote(sheet.text));
  const students = new Map(notes.map(({ name, text }) => [name.replace(/\.txt$/i, '_'), text.match(note)]));
  const files = sheets.filter((sheet) => !notes.includes(sheet)).map((sheet) => {
    const slash = Math.max(sheet.name.lastIndexOf('/'), sheet.name.lastIndexOf('\\'));
    const [folder, file] = [sheet.name.slice(0, slash + 1), sheet.name.slice(slash + 1)];
    for (const [attempt, [, student, user]] of students) {
      const base = attempt.slice(Math.max(attempt.lastIndexOf('/'), attempt.lastIndexOf('\\')) + 1);
      if (file.startsWith(base)) return { ...sheet, name: `${folder}${student}_${user || ''}/${file.slice(base.length)}` };
    }
    return sheet;
  });
  return { sheets: files, notes: notes.length };
}
