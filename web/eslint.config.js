// ESLint over web/: the page's and the guide's modules as browser code,
// and what runs under Node (the bundler, the tests) held to the oldest
// Node the project supports, Debian 12's (package.json's engines).
import js from '@eslint/js';
import node from 'eslint-plugin-n';
import globals from 'globals';

export default [
  { ignores: ['node_modules/'] },
  js.configs.recommended,
  {
    files: ['page/**/*.js', 'guide/**/*.js', 'shared/**/*.js'],
    languageOptions: { ecmaVersion: 2020, sourceType: 'module', globals: globals.browser },
  },
  {
    files: ['**/*.mjs', 'test/**/*.js', 'eslint.config.js'],
    ...node.configs['flat/recommended-module'],
    rules: {
      ...node.configs['flat/recommended-module'].rules,
      // node:test, as Node 18 has it (stable from Node 20), is what runs the tests.
      'n/no-unsupported-features/node-builtins': ['error', { allowExperimental: true }],
    },
  },
  {
    // The browser tests hand functions to the page, which run there.
    files: ['browser/**/*.mjs', 'bench/**/*.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
    rules: { 'n/no-unsupported-features/node-builtins': ['error', { allowExperimental: true, ignores: ['navigator', 'localStorage'] }] },
  },
  { rules: { 'no-unused-vars': ['error', { argsIgnorePattern: '^_', varsIgnorePattern: '^_', caughtErrors: 'none' }] } },
];
