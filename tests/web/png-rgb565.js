// The 8-bit RGB PNG mapboard writes, back to the RGB565 pixels it came from
// (the expansion keeps each channel's high bits).
'use strict';

const zlib = require('zlib');

function paeth(left, up, upLeft) {
  const guess = left + up - upLeft;
  const toLeft = Math.abs(guess - left);
  const toUp = Math.abs(guess - up);
  const toUpLeft = Math.abs(guess - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) {
    return left;
  }
  return toUp <= toUpLeft ? up : upLeft;
}

// Returns {width, height, pixels: Uint16Array}.
function pngRgb565(data) {
  let position = 8;
  let width = 0;
  let height = 0;
  const compressed = [];
  while (position < data.length) {
    const length = data.readUInt32BE(position);
    const kind = data.toString('latin1', position + 4, position + 8);
    const body = data.subarray(position + 8, position + 8 + length);
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[9] !== 2 || body[12] !== 0) {
        throw new Error('not an 8-bit RGB PNG without interlacing');
      }
    } else if (kind === 'IDAT') {
      compressed.push(body);
    }
    position += 12 + length;
  }
  const rows = zlib.inflateSync(Buffer.concat(compressed));
  const stride = width * 3;
  let previous = new Uint8Array(stride);
  const pixels = new Uint16Array(width * height);
  for (let y = 0; y < height; y++) {
    const start = y * (stride + 1);
    const filter = rows[start];
    const line = Uint8Array.from(rows.subarray(start + 1, start + 1 + stride));
    for (let i = 0; i < stride; i++) {
      const left = i >= 3 ? line[i - 3] : 0;
      const up = previous[i];
      const upLeft = i >= 3 ? previous[i - 3] : 0;
      const predicted = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
      line[i] = (line[i] + predicted) & 255;
    }
    for (let x = 0; x < width; x++) {
      pixels[y * width + x] = ((line[3 * x] >> 3) << 11) | ((line[3 * x + 1] >> 2) << 5) | (line[3 * x + 2] >> 3);
    }
    previous = line;
  }
  return {width, height, pixels};
}

module.exports = {pngRgb565};
