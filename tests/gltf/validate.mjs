// Validates a glTF file with the Khronos validator: prints its issue counts and first messages as JSON.
// Usage: node validate.mjs FILE.glb; exit status 0 when it has no errors.
import fs from 'fs';
import validator from 'gltf-validator';

const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(process.argv[2])), {maxIssues: 20});
const issues = report.issues;
console.log(JSON.stringify({errors: issues.numErrors, warnings: issues.numWarnings,
  messages: issues.messages.map(m => `${m.code} ${m.pointer}: ${m.message}`)}));
process.exit(issues.numErrors === 0 ? 0 : 1);
