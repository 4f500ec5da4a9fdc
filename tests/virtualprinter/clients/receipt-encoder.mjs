// The receipt a point-of-sale app builds with @point-of-sale/receipt-printer-
// encoder 4.0.1 (ESC/POS, its default column images): text in several sizes
// and modes, a euro price in a code page it picks, a table, EAN-13, CODE39
// and CODE128 barcodes, a QR code, a 64 x 48 picture and a cut. Run by
// scripts/make-client-receipts.sh.
import ReceiptPrinterEncoder from '@point-of-sale/receipt-printer-encoder';
const w = 64, h = 48, data = new Uint8ClampedArray(w * h * 4);
for (let y = 0; y < h; y++)
  for (let x = 0; x < w; x++) {
    const i = (y * w + x) * 4, on = (x * 3 + y * 5) % 7 < 3;
    data[i] = data[i + 1] = data[i + 2] = on ? 0 : 255;
    data[i + 3] = 255;
  }
const encoder = new ReceiptPrinterEncoder({ language: 'esc-pos', columns: 48 });
const bytes = encoder.initialize()
  .align('center').size(2, 2).line('TAVO CAFE').size(1, 1)
  .codepage('auto').line('Caf\u00e9 cr\u00e8me, Gr\u00f6\u00dfe \u00bd \u20ac')
  .align('left').bold(true).line('Espresso 2.50').bold(false)
  .underline(true).line('Croissant 1.80').underline(false)
  .invert(true).line(' TOTAL 4.30 ').invert(false)
  .table([{ width: 36, align: 'left' }, { width: 10, align: 'right' }], [['Tea', '1.20'], ['Cake', '3.40']])
  .align('center')
  .barcode('590123412345', 'ean13', { height: 60, text: 'below' })
  .barcode('TAVO-39', 'code39', { height: 60 })
  .barcode('{BTAVO-128', 'code128', { height: 60 })
  .qrcode('https://example.com/receipt/4712', 2, 4, 'm')
  .image({ data, width: w, height: h }, w, h, 'threshold')
  .cut()
  .encode();
process.stdout.write(Buffer.from(bytes));
