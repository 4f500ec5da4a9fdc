// Makes the receipt of the "independent input" test with a third-party
// encoder (the npm package esc-pos-encoder 3.0.0): text, emphasis, centring
// done with spaces, and a 16 x 16 raster image in which a dot is where
// (x + y) % 3 == 0. Run by scripts/make-encoder-receipt.sh.
const EscPosEncoder = require('esc-pos-encoder');
const w = 16, h = 16, data = new Uint8ClampedArray(w * h * 4);
for (let y = 0; y < h; y++)
  for (let x = 0; x < w; x++) {
    const i = (y * w + x) * 4;
    data[i] = data[i + 1] = data[i + 2] = (x + y) % 3 === 0 ? 0 : 255;
    data[i + 3] = 255;
  }
const encoder = new EscPosEncoder({ language: 'esc-pos', imageMode: 'raster' });
const bytes = encoder.initialize().text('Hello 123').newline().bold(true).line('Bold').bold(false)
  .align('center').line('Mid').align('left').image({ data, width: w, height: h }, w, h, 'threshold').cut().encode();
process.stdout.write(Buffer.from(bytes));
