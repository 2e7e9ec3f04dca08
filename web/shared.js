// What the browser page and the teacher's guide both do: take their
// WebAssembly from the base64 in a data block of the file, so that nothing
// is fetched, as a strict security policy requires; and save a text as a
// file the browser downloads. Both put it in an inline script before their
// own.
const countingLabShared = Object.freeze({
  bytesOf(id) {
    const text = atob(document.getElementById(id).textContent);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i += 1) bytes[i] = text.charCodeAt(i);
    return bytes;
  },
  save(name, text, type) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], { type }));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  },
});
