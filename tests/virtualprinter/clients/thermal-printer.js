// The receipt a point-of-sale app builds with node-thermal-printer 4.6.1
// (Epson type): text in several sizes and modes, a table, a euro price in
// code page 858, CODE128 and EAN-13 barcodes, a QR code, a raster picture,
// a beep, the drawer and a partial cut. Run by scripts/make-client-receipts.sh.
const { ThermalPrinter, PrinterTypes, CharacterSet } = require('node-thermal-printer');
const { PNG } = require('pngjs');
(async () => {
  const printer = new ThermalPrinter({
    type: PrinterTypes.EPSON, interface: 'tcp://127.0.0.1:1', characterSet: CharacterSet.PC858_EURO, width: 48,
  });
  printer.alignCenter();
  printer.setTextDoubleHeight();
  printer.println('TAVO CAFE');
  printer.setTextNormal();
  printer.println('Cafe creme, Grosse 1/2');
  printer.println('Caf\u00e9 cr\u00e8me, Gr\u00f6\u00dfe \u00bd \u20ac');
  printer.alignLeft();
  printer.drawLine();
  printer.bold(true);
  printer.leftRight('Espresso', '2.50');
  printer.bold(false);
  printer.underline(true);
  printer.leftRight('Croissant', '1.80');
  printer.underline(false);
  printer.invert(true);
  printer.println(' TOTAL 4.30 ');
  printer.invert(false);
  printer.tableCustom([{ text: 'Qty', align: 'LEFT', width: 0.2 }, { text: 'Item', align: 'CENTER', width: 0.5 },
    { text: 'Sum', align: 'RIGHT', width: 0.3 }]);
  printer.alignCenter();
  printer.code128('TAVO-4711', { hriPos: 2, width: 2, height: 60 });
  printer.printBarcode('590123412345', 67, { hriPos: 2, width: 2, height: 60 });
  printer.newLine();
  printer.printQR('https://example.com/receipt/4711', { cellSize: 4, correction: 'M', model: 2 });
  const w = 64, h = 32, png = new PNG({ width: w, height: h });
  for (let y = 0; y < h; y++)
    for (let x = 0; x < w; x++) {
      const i = (y * w + x) * 4, on = (x + y) % 4 === 0 || x === 0 || y === 0;
      png.data[i] = png.data[i + 1] = png.data[i + 2] = on ? 0 : 255;
      png.data[i + 3] = 255;
    }
  await printer.printImageBuffer(PNG.sync.write(png));
  printer.beep(2, 1);
  printer.openCashDrawer();
  printer.partialCut();
  process.stdout.write(printer.getBuffer());
})();
