// Reads the 8-bit, non-interlaced PNGs that Chromium's screenshots and our
// tools write, as RGBA rows: enough to compare pictures, nothing more.
import { inflateSync } from "node:zlib";

function paeth(a, b, c) {
    const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

export function decodePng(buffer) {
    let at = 8, width = 0, height = 0, channels = 0;
    const data = [];
    while (at < buffer.length) {
        const length = buffer.readUInt32BE(at);
        const type = buffer.toString("latin1", at + 4, at + 8);
        const body = buffer.subarray(at + 8, at + 8 + length);
        if (type === "IHDR") {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const colour = body[9];
            if (body[8] !== 8 || body[12] !== 0 || (colour !== 2 && colour !== 6))
                throw new Error("only 8-bit RGB or RGBA PNGs without interlacing are read");
            channels = colour === 6 ? 4 : 3;
        } else if (type === "IDAT") {
            data.push(body);
        }
        at += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        for (let x = 0; x < stride; ++x) {
            const v = raw[y * (stride + 1) + 1 + x];
            const a = x >= channels ? rows[y * stride + x - channels] : 0;
            const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
            const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
            const predicted = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
            rows[y * stride + x] = (v + predicted) & 255;
        }
    }
    const rgba = Buffer.alloc(width * height * 4, 255);
    for (let i = 0; i < width * height; ++i)
        rows.copy(rgba, i * 4, i * channels, i * channels + 3);
    return { width, height, rgba };
}

// How many pixels of `part`, placed at (left, top) in `whole`, differ by more
// than `tolerance` levels in a channel.
export function differingPixels(whole, part, left, top, tolerance = 0) {
    let differ = 0;
    for (let y = 0; y < part.height; ++y)
        for (let x = 0; x < part.width; ++x) {
            const p = (y * part.width + x) * 4, w = ((top + y) * whole.width + left + x) * 4;
            for (let c = 0; c < 3; ++c)
                if (Math.abs(part.rgba[p + c] - whole.rgba[w + c]) > tolerance) {
                    ++differ;
                    break;
                }
        }
    return differ;
}

// Where `part` shows in `whole`, its pixels within `tolerance` levels: the
// first place from the top left, or null.
export function findPicture(whole, part, tolerance = 0) {
    const probe = Math.min(part.width, 24);
    const near = (w, p) => Math.abs(whole.rgba[w] - part.rgba[p]) <= tolerance &&
                           Math.abs(whole.rgba[w + 1] - part.rgba[p + 1]) <= tolerance &&
                           Math.abs(whole.rgba[w + 2] - part.rgba[p + 2]) <= tolerance;
    for (let top = 0; top + part.height <= whole.height; ++top)
        for (let left = 0; left + part.width <= whole.width; ++left) {
            let x = 0;
            while (x < probe && near(((top * whole.width) + left + x) * 4, x * 4))
                ++x;
            if (x === probe && differingPixels(whole, part, left, top, tolerance) === 0)
                return { left, top };
        }
    return null;
}

// The rows from `top` to `bottom` (not included) of a picture.
export function rows(picture, top, bottom) {
    const width = picture.width;
    return { width, height: bottom - top, rgba: picture.rgba.subarray(top * width * 4, bottom * width * 4) };
}
