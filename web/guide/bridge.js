// The checker's WebAssembly, compiled from the grading library, called with
// strings: each handed over in memory allocated here (a sheet may be larger
// than the stack); the answer is a string the check allocated, freed here
// once read.
/* global createChecker */
import { bytesOf } from '../shared/browser.js';

export async function checker() {
  const module = await createChecker({ wasmBinary: bytesOf('checker-program') });
  function call(check, ...texts) {
    const places = texts.map((text) => {
      const size = module.lengthBytesUTF8(text) + 1;
      const at = module._malloc(size);
      module.stringToUTF8(text, at, size);
      return at;
    });
    const answer = check(...places);
    places.forEach((at) => module._free(at));
    const text = module.UTF8ToString(answer);
    module._free(answer);
    return text;
  }
  return {
    checkCount: (...fields) => call(module._check_count, ...fields),
    // { summary, table, figures, csv }
    checkClass: (sheet) => JSON.parse(call(module._check_class, sheet)),
    // Many files as one sheet: { sheet, said }.
    classSheet: (files) => JSON.parse(call(module._class_sheet,
      files.map((file) => `${file.name}\n${module.lengthBytesUTF8(file.text)}\n${file.text}`).join(''))),
    worksheet2Key: (t) => call(module._worksheet_2_key, t),
    // Whose a file is by its folder or file name ('' where they do not say).
    studentOf: (name) => call(module._student_of_file, name),
    // The lab's setup, as the program has it.
    lab: JSON.parse(call(module._lab_setup)),
  };
}
