// What the page and the guide both do in the browser: take their
// WebAssembly from the base64 in a data block of the file, so that nothing
// is fetched, as a strict security policy requires; and save a text as a
// file the browser downloads.
export function bytesOf(id) {
  const base64 = document.getElementById(id).textContent;
  if (typeof Uint8Array.fromBase64 === 'function') return Uint8Array.fromBase64(base64);
  const text = atob(base64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i += 1) bytes[i] = text.charCodeAt(i);
  return bytes;
}

export function save(name, text, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], { type }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// "1 row", "2 rows".
export const counted = (n, word) => `${n} ${word}${n === 1 ? '' : 's'}`;
