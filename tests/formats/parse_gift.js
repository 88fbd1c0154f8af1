// Parses a GIFT file with gift-pegjs and prints what it read as JSON on standard output.
// Usage: node parse_gift.js NODE_MODULES_DIR FILE.gift
// A file the parser refuses ends with exit 1 and the parser's message and place.
"use strict";
const fs = require("fs");
const path = require("path");

const [modules, file] = process.argv.slice(2);
if (!modules || !file) {
  process.stderr.write("usage: node parse_gift.js NODE_MODULES_DIR FILE.gift\n");
  process.exit(2);
}
let parser;
try {
  parser = require(path.resolve(modules, "gift-pegjs"));
} catch (e) {
  process.stderr.write(`gift-pegjs is not installed in ${modules}: ${e.message}\n`);
  process.exit(3);
}
const version = require(path.resolve(modules, "gift-pegjs", "package.json")).version;
try {
  const questions = parser.parse(fs.readFileSync(file, "utf8"));
  process.stdout.write(JSON.stringify({ parser: `gift-pegjs ${version}`, questions }));
} catch (e) {
  const where = e.location ? ` at line ${e.location.start.line}, column ${e.location.start.column}` : "";
  process.stderr.write(`gift-pegjs ${version} refused the file${where}: ${e.message}\n`);
  process.exit(1);
}
