// The libraries that the page and the guide carry inside them, from
// web/node_modules as `npm ci` installs them (pinned in package-lock.json),
// minified by terser, each under a comment that names it, its version and
// its licence, whose text the release carries in THIRD-PARTY-LICENSES.txt.
//   node vendor.mjs OUTDIR
// writes OUTDIR/qrcode.js (the page draws its hand-in codes with it) and
// OUTDIR/jsqr.js (the guide reads the codes with it).
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { resolve } from 'node:path';
import { minify } from 'terser';

const [outDir] = process.argv.slice(2);
const libraries = [
  { name: 'qrcode-generator', file: 'dist/qrcode.js', out: 'qrcode.js', owner: 'Copyright (c) 2009 Kazuhiko Arase' },
  { name: 'jsqr', file: 'dist/jsQR.js', out: 'jsqr.js', owner: 'Copyright Cosmo Wolfe and the jsQR contributors' },
];
mkdirSync(outDir, { recursive: true });
for (const library of libraries) {
  const folder = new URL(`node_modules/${library.name}/`, import.meta.url);
  const { version, license } = JSON.parse(readFileSync(new URL('package.json', folder), 'utf8'));
  const source = readFileSync(new URL(library.file, folder), 'utf8');
  const { code } = await minify(source, { compress: true, mangle: true, format: { comments: false } });
  const banner = `/* ${library.name} ${version}, ${library.owner}; ${license} licence: see THIRD-PARTY-LICENSES.txt */\n`;
  writeFileSync(resolve(outDir, library.out), banner + code + '\n');
}
