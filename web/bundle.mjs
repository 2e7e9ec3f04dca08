// The page's and the guide's scripts, each bundled by esbuild from its ES
// modules (web/page/, web/guide/ and web/shared/ with the libraries that
// package-lock.json pins) into one minified classic script that the page
// or the guide carries inline, under a comment that names each library
// inside it, its version and its licence, whose text the release carries
// in THIRD-PARTY-LICENSES.txt.
//   node bundle.mjs OUTDIR
// writes OUTDIR/page.js and OUTDIR/guide.js.
import { readFileSync } from 'node:fs';
import { build } from 'esbuild';

const [outDir] = process.argv.slice(2);
const owners = {
  'qrcode-generator': 'Copyright (c) 2009 Kazuhiko Arase',
  jsqr: 'Copyright Cosmo Wolfe and the jsQR contributors',
  fflate: 'Copyright (c) 2026 Arjun Barrett',
  'read-excel-file': 'Copyright (c) 2018 gitlab.com/catamphetamine',
  'worker-f': 'Copyright (c) 2018 gitlab.com/catamphetamine',
};
const named = (library) => {
  const { version, license } = JSON.parse(readFileSync(new URL(`node_modules/${library}/package.json`, import.meta.url), 'utf8'));
  return `${library} ${version}, ${owners[library]}; ${license} licence`;
};
const bundles = [
  { entry: 'page/main.js', out: 'page.js', libraries: ['qrcode-generator'] },
  { entry: 'guide/main.js', out: 'guide.js', libraries: ['jsqr', 'fflate', 'read-excel-file', 'worker-f'] },
];
for (const { entry, out, libraries } of bundles) {
  await build({
    entryPoints: [new URL(entry, import.meta.url).pathname],
    outfile: `${outDir}/${out}`,
    bundle: true,
    format: 'iife',
    minify: true,
    legalComments: 'none',
    target: ['es2020'],
    banner: { js: `/* counting-lab; inside: ${libraries.map(named).join('; ')}: see THIRD-PARTY-LICENSES.txt */` },
    logLevel: 'warning',
  });
}
