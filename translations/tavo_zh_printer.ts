<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>TForm1</name>
    <message>
        <source>启用</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>禁用</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>启用小字体(9*17)</source>
        <translation>启用小字体(9*17)</translation>
    </message>
    <message>
        <source>禁用小字体(9*17)</source>
        <translation>禁用小字体(9*17)</translation>
    </message>
    <message>
        <source>You must select Serial Port for Tavo-K1 with serial port!!</source>
        <translation>You must select Serial Port for Tavo-K1 with serial port!!</translation>
    </message>
    <message>
        <source>Tavo76 针打黑标设置</source>
        <translation>Tavo76 针打黑标设置</translation>
    </message>
    <message>
        <source>针打黑标控制设置</source>
        <translation>针打黑标控制设置</translation>
    </message>
    <message>
        <source>Tavo58系列串口设置</source>
        <translation>Tavo58系列串口设置</translation>
    </message>
    <message>
        <source>波特率设置</source>
        <translation>波特率设置</translation>
    </message>
    <message>
        <source>Tavo-K3 LED显示</source>
        <translation>Tavo-K3 LED显示</translation>
    </message>
    <message>
        <source>LED显示演示</source>
        <translation>LED显示演示</translation>
    </message>
    <message>
        <source>Tavo80 NV Logo演示</source>
        <translation>Tavo80 NV Logo演示</translation>
    </message>
    <message>
        <source>NV Logo下载</source>
        <translation>NV Logo下载</translation>
    </message>
    <message>
        <source>Tavo76打印纸宽选择</source>
        <translation>Tavo76打印纸宽选择</translation>
    </message>
    <message>
        <source>打印纸宽选择</source>
        <translation>打印纸宽选择</translation>
    </message>
    <message>
        <source>Tavo76针打浓度设置</source>
        <translation>Tavo76针打浓度设置</translation>
    </message>
    <message>
        <source>设置打印浓度</source>
        <translation>设置打印浓度</translation>
    </message>
    <message>
        <source>Tavo76针打自动换行设置</source>
        <translation>Tavo76针打自动换行设置</translation>
    </message>
    <message>
        <source>自动换行</source>
        <translation>自动换行</translation>
    </message>
    <message>
        <source>Tavo76针打蜂鸣器设置</source>
        <translation>Tavo76针打蜂鸣器设置</translation>
    </message>
    <message>
        <source>蜂鸣器功能</source>
        <translation>蜂鸣器功能</translation>
    </message>
    <message>
        <source>Tavo80重打禁用/启用</source>
        <translation>Tavo80重打禁用/启用</translation>
    </message>
    <message>
        <source>纸尽自动重打功能</source>
        <translation>纸尽自动重打功能</translation>
    </message>
    <message>
        <source>Tavo80仿真模式选择</source>
        <translation>Tavo80仿真模式选择</translation>
    </message>
    <message>
        <source>仿真模式选择</source>
        <translation>仿真模式选择</translation>
    </message>
    <message>
        <source>Tavo58小字体是否有效</source>
        <translation>Tavo58小字体是否有效</translation>
    </message>
    <message>
        <source>小字体功能</source>
        <translation>小字体功能</translation>
    </message>
    <message>
        <source>Tavo串行接口状态检测</source>
        <translation>Tavo串行接口状态检测</translation>
    </message>
    <message>
        <source>串口状态检测</source>
        <translation>串口状态检测</translation>
    </message>
</context>
<context>
    <name>escpos</name>
    <message>
        <source>cut short: %1 of %2 bytes</source>
        <translation>不完整：%1 / %2 字节</translation>
    </message>
    <message>
        <source>unknown command</source>
        <translation>不认识的命令</translation>
    </message>
    <message>
        <source>print and feed one line</source>
        <translation>打印并走纸一行</translation>
    </message>
    <message>
        <source>print and feed %1 lines</source>
        <translation>打印并走纸 %1 行</translation>
    </message>
    <message>
        <source>%1 × NUL: nothing, the printer skips it</source>
        <translation>%1 个 NUL：打印机跳过</translation>
    </message>
    <message>
        <source>carriage return</source>
        <translation>回车</translation>
    </message>
    <message>
        <source>form feed (customer display: clear the display)</source>
        <translation>换页（顾客显示屏：清屏）</translation>
    </message>
    <message>
        <source>cancel (customer display: clear the line)</source>
        <translation>取消（顾客显示屏：清除该行）</translation>
    </message>
    <message>
        <source>beep</source>
        <translation>蜂鸣</translation>
    </message>
    <message>
        <source>horizontal tab</source>
        <translation>水平制表</translation>
    </message>
    <message>
        <source>unknown byte</source>
        <translation>不认识的字节</translation>
    </message>
    <message>
        <source>%1 unknown bytes</source>
        <translation>%1 个不认识的字节</translation>
    </message>
    <message>
        <source>text &quot;%1&quot; (1 byte)</source>
        <translation>文字“%1”（1 字节）</translation>
    </message>
    <message>
        <source>text &quot;%1&quot; (%2 bytes)</source>
        <translation>文字“%1”（%2 字节）</translation>
    </message>
    <message>
        <source>not printed</source>
        <translation>不打印</translation>
    </message>
    <message>
        <source>above the bars</source>
        <translation>在条码上方</translation>
    </message>
    <message>
        <source>below the bars</source>
        <translation>在条码下方</translation>
    </message>
    <message>
        <source>above and below the bars</source>
        <translation>在条码上方和下方</translation>
    </message>
    <message>
        <source>%1 (undefined)</source>
        <translation>%1（未定义）</translation>
    </message>
    <message>
        <source>default line spacing</source>
        <translation>默认行距</translation>
    </message>
    <message>
        <source>print and feed %1 units</source>
        <translation>打印并走纸 %1 单位</translation>
    </message>
    <message>
        <source>print and feed back %1 units</source>
        <translation>打印并退纸 %1 单位</translation>
    </message>
    <message>
        <source>print and feed back %1 lines</source>
        <translation>打印并退纸 %1 行</translation>
    </message>
    <message>
        <source>partial cut (one point left)</source>
        <translation>半切（留一点）</translation>
    </message>
    <message>
        <source>international character set %1</source>
        <translation>国际字符集 %1</translation>
    </message>
    <message>
        <source>upside-down printing: %1</source>
        <translation>倒置打印：%1</translation>
    </message>
    <message>
        <source>90° rotation: %1</source>
        <translation>旋转 90°：%1</translation>
    </message>
    <message>
        <source>right-side character spacing: %1 units</source>
        <translation>字符右间距：%1 单位</translation>
    </message>
    <message>
        <source>double-strike: %1</source>
        <translation>重叠打印：%1</translation>
    </message>
    <message>
        <source>select peripheral device %1</source>
        <translation>选择外设 %1</translation>
    </message>
    <message>
        <source>panel or paper sensor setting %1</source>
        <translation>面板或纸传感器设置 %1</translation>
    </message>
    <message>
        <source>beep %1 times, %2 × 50 ms each</source>
        <translation>蜂鸣 %1 次，每次 %2 × 50 毫秒</translation>
    </message>
    <message>
        <source>absolute print position: %1 units</source>
        <translation>绝对打印位置：%1 单位</translation>
    </message>
    <message>
        <source>relative print position: %1 units</source>
        <translation>相对打印位置：%1 单位</translation>
    </message>
    <message>
        <source>white/black reverse printing: %1</source>
        <translation>黑白反显打印：%1</translation>
    </message>
    <message>
        <source>barcode text: %1</source>
        <translation>条码文字：%1</translation>
    </message>
    <message>
        <source>barcode text font %1</source>
        <translation>条码文字字体 %1</translation>
    </message>
    <message>
        <source>barcode height: %1 dots</source>
        <translation>条码高度：%1 点</translation>
    </message>
    <message>
        <source>barcode module width: %1 dots</source>
        <translation>条码模块宽度：%1 点</translation>
    </message>
    <message>
        <source>transmit status %1</source>
        <translation>传送状态 %1</translation>
    </message>
    <message>
        <source>automatic status back: mask %1</source>
        <translation>自动状态回传：掩码 %1</translation>
    </message>
    <message>
        <source>transmit printer ID %1</source>
        <translation>传送打印机 ID %1</translation>
    </message>
    <message>
        <source>left margin: %1 units</source>
        <translation>左边距：%1 单位</translation>
    </message>
    <message>
        <source>print area width: %1 units</source>
        <translation>打印区域宽度：%1 单位</translation>
    </message>
    <message>
        <source>motion units: 1/%1 inch across, 1/%2 inch down</source>
        <translation>移动单位：横向 1/%1 英寸，纵向 1/%2 英寸</translation>
    </message>
    <message>
        <source>double density</source>
        <translation>双密度</translation>
    </message>
    <message>
        <source>single density</source>
        <translation>单密度</translation>
    </message>
    <message>
        <source>bit image, %1 dots high, %2: %3 columns</source>
        <translation>位图，%1 点高，%2：%3 列</translation>
    </message>
    <message>
        <source>clear the tab stops</source>
        <translation>清除制表位</translation>
    </message>
    <message>
        <source>tab stops at %1 characters</source>
        <translation>制表位在第 %1 个字符</translation>
    </message>
    <message>
        <source>barcode %1: &quot;%2&quot;</source>
        <translation>条码 %1：“%2”</translation>
    </message>
    <message>
        <source>%1: store %2 bytes of data</source>
        <translation>%1：存入 %2 字节数据</translation>
    </message>
    <message>
        <source>%1: print the stored symbol</source>
        <translation>%1：打印存入的符号</translation>
    </message>
    <message>
        <source>%1: transmit the size of the stored symbol</source>
        <translation>%1：传送存入符号的大小</translation>
    </message>
    <message>
        <source>QR: model %1</source>
        <translation>QR：模型 %1</translation>
    </message>
    <message>
        <source>QR: module size %1 dots</source>
        <translation>QR：模块大小 %1 点</translation>
    </message>
    <message>
        <source>QR: error correction level %1</source>
        <translation>QR：纠错等级 %1</translation>
    </message>
    <message>
        <source>QR: error correction %1 (undefined)</source>
        <translation>QR：纠错 %1（未定义）</translation>
    </message>
    <message>
        <source>QR: function %1</source>
        <translation>QR：功能 %1</translation>
    </message>
    <message>
        <source>PDF417: %1 columns</source>
        <translation>PDF417：%1 列</translation>
    </message>
    <message>
        <source>PDF417: %1 rows</source>
        <translation>PDF417：%1 行</translation>
    </message>
    <message>
        <source>PDF417: module width %1 dots</source>
        <translation>PDF417：模块宽度 %1 点</translation>
    </message>
    <message>
        <source>PDF417: row height %1 × the module width</source>
        <translation>PDF417：行高为模块宽度的 %1 倍</translation>
    </message>
    <message>
        <source>PDF417: error correction %1</source>
        <translation>PDF417：纠错 %1</translation>
    </message>
    <message>
        <source>PDF417: options %1</source>
        <translation>PDF417：选项 %1</translation>
    </message>
    <message>
        <source>PDF417: function %1</source>
        <translation>PDF417：功能 %1</translation>
    </message>
    <message>
        <source>real-time request %1</source>
        <translation>实时请求 %1</translation>
    </message>
    <message>
        <source>real-time pulse</source>
        <translation>实时脉冲</translation>
    </message>
    <message>
        <source>real-time power-off</source>
        <translation>实时关机</translation>
    </message>
    <message>
        <source>transmit the status at once</source>
        <translation>立即传送状态</translation>
    </message>
    <message>
        <source>clear the buffers</source>
        <translation>清除缓冲区</translation>
    </message>
    <message>
        <source>initialise the printer</source>
        <translation>初始化打印机</translation>
    </message>
    <message>
        <source>partial cut</source>
        <translation>半切</translation>
    </message>
    <message>
        <source>status request: paper sensor</source>
        <translation>状态请求：纸传感器</translation>
    </message>
    <message>
        <source>code %1 (undefined)</source>
        <translation>代码 %1（未定义）</translation>
    </message>
    <message>
        <source>cash drawer pulse: pin %1, on %2 ms, off %3 ms</source>
        <translation>钱箱脉冲：引脚 %1，开 %2 毫秒，关 %3 毫秒</translation>
    </message>
    <message>
        <source>customer display: show &quot;%1&quot;</source>
        <translation>顾客显示屏：显示“%1”</translation>
    </message>
    <message>
        <source>justification (Star): %1</source>
        <translation>对齐（Star）：%1</translation>
    </message>
    <message>
        <source>unidirectional printing on</source>
        <translation>单向打印开</translation>
    </message>
    <message>
        <source>unidirectional printing off</source>
        <translation>单向打印关</translation>
    </message>
    <message>
        <source>line spacing: %1 units</source>
        <translation>行距：%1 单位</translation>
    </message>
    <message>
        <source>font B (9 × 17)</source>
        <translation>字体 B（9 × 17）</translation>
    </message>
    <message>
        <source>font A (12 × 24)</source>
        <translation>字体 A（12 × 24）</translation>
    </message>
    <message>
        <source>emphasised</source>
        <translation>加粗</translation>
    </message>
    <message>
        <source>double height</source>
        <translation>倍高</translation>
    </message>
    <message>
        <source>double width</source>
        <translation>倍宽</translation>
    </message>
    <message>
        <source>underlined</source>
        <translation>下划线</translation>
    </message>
    <message>
        <source>print mode: %1</source>
        <translation>打印模式：%1</translation>
    </message>
    <message>
        <source>character code table %1</source>
        <translation>字符代码表 %1</translation>
    </message>
    <message>
        <source>emphasis on</source>
        <translation>加粗开</translation>
    </message>
    <message>
        <source>emphasis off</source>
        <translation>加粗关</translation>
    </message>
    <message>
        <source>underline off</source>
        <translation>下划线关</translation>
    </message>
    <message>
        <source>underline on</source>
        <translation>下划线开</translation>
    </message>
    <message>
        <source>justification: %1</source>
        <translation>对齐：%1</translation>
    </message>
    <message>
        <source>print colour: black</source>
        <translation>打印颜色：黑</translation>
    </message>
    <message>
        <source>print colour: red</source>
        <translation>打印颜色：红</translation>
    </message>
    <message>
        <source>print colour %1 (undefined)</source>
        <translation>打印颜色 %1（未定义）</translation>
    </message>
    <message>
        <source>all indicators off</source>
        <translation>指示灯全灭</translation>
    </message>
    <message>
        <source>unit price</source>
        <translation>单价</translation>
    </message>
    <message>
        <source>total</source>
        <translation>总计</translation>
    </message>
    <message>
        <source>collect</source>
        <translation>收款</translation>
    </message>
    <message>
        <source>change</source>
        <translation>找零</translation>
    </message>
    <message>
        <source>customer display indicator: %1</source>
        <translation>顾客显示屏指示灯：%1</translation>
    </message>
    <message>
        <source>NV bit image %1: %2 × %3 dots, %4 data bytes</source>
        <translation>NV 位图 %1：%2 × %3 点，%4 数据字节</translation>
    </message>
    <message>
        <source>define NV bit images: none</source>
        <translation>定义 NV 位图：无</translation>
    </message>
    <message>
        <source>, closing byte 01</source>
        <translation>，结束字节 01</translation>
    </message>
    <message>
        <source>print NV bit image %1, %2</source>
        <translation>打印 NV 位图 %1，%2</translation>
    </message>
    <message>
        <source>Chinese character mode on</source>
        <translation>汉字模式开</translation>
    </message>
    <message>
        <source>Chinese character mode off</source>
        <translation>汉字模式关</translation>
    </message>
    <message>
        <source>prefix of the NV logo and black-mark commands</source>
        <translation>NV Logo 和黑标命令的前缀</translation>
    </message>
    <message>
        <source>feed marked paper to the print start position</source>
        <translation>黑标纸走到打印起始位置</translation>
    </message>
    <message>
        <source>character size: %1 × wide, %2 × high</source>
        <translation>字符大小：%1 倍宽，%2 倍高</translation>
    </message>
    <message>
        <source>define downloaded bit image: %1 × %2 dots, %3 data bytes</source>
        <translation>定义下载位图：%1 × %2 点，%3 数据字节</translation>
    </message>
    <message>
        <source>quadruple</source>
        <translation>四倍</translation>
    </message>
    <message>
        <source>print downloaded bit image, %1</source>
        <translation>打印下载位图，%1</translation>
    </message>
    <message>
        <source>raster bit image, %1: %2 × %3 dots, %4 data bytes</source>
        <translation>光栅位图，%1：%2 × %3 点，%4 数据字节</translation>
    </message>
    <message>
        <source>full cut</source>
        <translation>全切</translation>
    </message>
    <message>
        <source>full cut after feeding %1 units</source>
        <translation>走纸 %1 单位后全切</translation>
    </message>
    <message>
        <source>partial cut after feeding %1 units</source>
        <translation>走纸 %1 单位后半切</translation>
    </message>
    <message>
        <source>black-mark setting with %1 parameter bytes</source>
        <translation>黑标设置，%1 个参数字节</translation>
    </message>
    <message>
        <source>print start position</source>
        <translation>打印起始位置</translation>
    </message>
    <message>
        <source>cut position</source>
        <translation>切纸位置</translation>
    </message>
    <message>
        <source>position %1 (undefined)</source>
        <translation>位置 %1（未定义）</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>向前</translation>
    </message>
    <message>
        <source>backward</source>
        <translation>向后</translation>
    </message>
    <message>
        <source>direction %1 (undefined)</source>
        <translation>方向 %1（未定义）</translation>
    </message>
    <message>
        <source>black mark: %1 %2 %3 units (%4 mm)</source>
        <translation>黑标：%1 %2 %3 单位（%4 毫米）</translation>
    </message>
    <message>
        <source>printer status</source>
        <translation>打印机状态</translation>
    </message>
    <message>
        <source>offline cause</source>
        <translation>脱机原因</translation>
    </message>
    <message>
        <source>error cause</source>
        <translation>错误原因</translation>
    </message>
    <message>
        <source>paper sensor</source>
        <translation>纸传感器</translation>
    </message>
    <message>
        <source>real-time status request: %1</source>
        <translation>实时状态请求：%1</translation>
    </message>
    <message>
        <source>print the H parameter</source>
        <translation>打印 H 参数</translation>
    </message>
    <message>
        <source>H parameter: %1</source>
        <translation>H 参数：%1</translation>
    </message>
    <message>
        <source>default code page: %1</source>
        <translation>默认代码页：%1</translation>
    </message>
    <message>
        <source>serial speed: code %1 (%2 bit/s)</source>
        <translation>串口速率：代码 %1（%2 bit/s）</translation>
    </message>
    <message>
        <source>serial speed: code %1 (no such speed)</source>
        <translation>串口速率：代码 %1（没有这个速率）</translation>
    </message>
    <message>
        <source>value 0x%1 (no entry has it)</source>
        <translation>值 0x%1（没有对应的选项）</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>configuration with unknown feature code %1</source>
        <translation>设置命令，未知功能码 %1</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>double width and height</source>
        <translation>倍宽倍高</translation>
    </message>
    <message>
        <source>scaling %1 (undefined)</source>
        <translation>缩放 %1（未定义）</translation>
    </message>
    <message>
        <source>left</source>
        <translation>左</translation>
    </message>
    <message>
        <source>centred</source>
        <translation>居中</translation>
    </message>
    <message>
        <source>right</source>
        <translation>右</translation>
    </message>
    <message>
        <source>paper width</source>
        <translation>纸宽</translation>
    </message>
    <message>
        <source>print density</source>
        <translation>打印浓度</translation>
    </message>
    <message>
        <source>automatic line feed</source>
        <translation>自动换行</translation>
    </message>
    <message>
        <source>buzzer</source>
        <translation>蜂鸣器</translation>
    </message>
    <message>
        <source>reprint after paper-out</source>
        <translation>缺纸后重打</translation>
    </message>
    <message>
        <source>emulation mode</source>
        <translation>仿真模式</translation>
    </message>
    <message>
        <source>small font</source>
        <translation>小字体</translation>
    </message>
    <message>
        <source>, </source>
        <translation>，</translation>
    </message>
</context>
<context>
    <name>tavo-decode</name>
    <message>
        <source>Usage: tavo-decode FILE...
Lists the printer commands in each file, one a line: offset, name, meaning and bytes.
</source>
        <translation>Usage: tavo-decode FILE...
Lists the printer commands in each file, one a line: offset, name, meaning and bytes.
</translation>
    </message>
    <message>
        <source>tavo-decode: %1: %2
</source>
        <translation>tavo-decode: %1: %2
</translation>
    </message>
</context>
<context>
    <name>transferlog</name>
    <message>
        <source>发送中</source>
        <translation>发送中</translation>
    </message>
    <message>
        <source>已发送；没有回答</source>
        <translation>已发送；没有回答</translation>
    </message>
    <message>
        <source>已发送；回答 %1</source>
        <translation>已发送；回答 %1</translation>
    </message>
    <message>
        <source>已发送</source>
        <translation>已发送</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>已取消：送出 %1 / %2 字节</source>
        <translation>已取消：送出 %1 / %2 字节</translation>
    </message>
    <message>
        <source>时间：%1
去向：%2
长度：%3 字节
结果：%4
</source>
        <translation>时间：%1
去向：%2
长度：%3 字节
结果：%4
</translation>
    </message>
    <message>
        <source>打印机的回答（%1 字节）：%2
</source>
        <translation>打印机的回答（%1 字节）：%2
</translation>
    </message>
    <message>
        <source>字节：%1

</source>
        <translation>字节：%1

</translation>
    </message>
    <message>
        <source>……还有 %1 字节没有列出（“保存文本”保存完整的列表）
</source>
        <translation>……还有 %1 字节没有列出（“保存文本”保存完整的列表）
</translation>
    </message>
</context>
<context>
    <name>virtualprinter</name>
    <message>
        <source>倒纸 %1：纸不倒回</source>
        <translation>倒纸 %1：纸不倒回</translation>
    </message>
    <message>
        <source>蜂鸣 %1 次</source>
        <translation>蜂鸣 %1 次</translation>
    </message>
    <message>
        <source>条码数据不合规则，没有打印：%1</source>
        <translation>条码数据不合规则，没有打印：%1</translation>
    </message>
    <message>
        <source>没有存入数据，符号没有打印</source>
        <translation>没有存入数据，符号没有打印</translation>
    </message>
    <message>
        <source>符号数据不合规则，没有打印：%1</source>
        <translation>符号数据不合规则，没有打印：%1</translation>
    </message>
    <message>
        <source>作业结束时命令不完整，已丢弃 %1 字节</source>
        <translation>作业结束时命令不完整，已丢弃 %1 字节</translation>
    </message>
    <message>
        <source>打印机不认识，已跳过：%1</source>
        <translation>打印机不认识，已跳过：%1</translation>
    </message>
    <message>
        <source>钱箱脉冲</source>
        <translation>钱箱脉冲</translation>
    </message>
    <message>
        <source>仿真模式不接受这种写法，已跳过：%1</source>
        <translation>仿真模式不接受这种写法，已跳过：%1</translation>
    </message>
    <message>
        <source>没有 NV 位图 %1</source>
        <translation>没有 NV 位图 %1</translation>
    </message>
    <message>
        <source>没有下载位图</source>
        <translation>没有下载位图</translation>
    </message>
    <message>
        <source>已收到，没有可画的：%1</source>
        <translation>已收到，没有可画的：%1</translation>
    </message>
    <message>
        <source>H=%1</source>
        <translation>H=%1</translation>
    </message>
    <message>
        <source>设置已保存：%1 = %2</source>
        <translation>设置已保存：%1 = %2</translation>
    </message>
    <message>
        <source>--tcp %1: an IPv6 address goes in brackets with a port after it, as [::1]:9100</source>
        <translation>--tcp %1: an IPv6 address goes in brackets with a port after it, as [::1]:9100</translation>
    </message>
    <message>
        <source>--tcp %1: give PORT, HOST:PORT or [IPv6]:PORT</source>
        <translation>--tcp %1: give PORT, HOST:PORT or [IPv6]:PORT</translation>
    </message>
    <message>
        <source>--tcp %1: the port must be 0 to 65535</source>
        <translation>--tcp %1: the port must be 0 to 65535</translation>
    </message>
    <message>
        <source>--tcp %1: %2 has no address</source>
        <translation>--tcp %1: %2 has no address</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>--model takes tavo80, tavo58, tavo76 or k3</source>
        <translation>--model takes tavo80, tavo58, tavo76 or k3</translation>
    </message>
    <message>
        <source>--status takes online, offline, paper-end or silent</source>
        <translation>--status takes online, offline, paper-end or silent</translation>
    </message>
    <message>
        <source>NV 存储写完，发送 XON</source>
        <translation>NV 存储写完，发送 XON</translation>
    </message>
    <message>
        <source>state file %1 is no printer memory (%2); move it away or name another</source>
        <translation>state file %1 is no printer memory (%2); move it away or name another</translation>
    </message>
    <message>
        <source>not a JSON object</source>
        <translation>not a JSON object</translation>
    </message>
    <message>
        <source>model %1: %2, %3 dots</source>
        <translation>model %1: %2, %3 dots</translation>
    </message>
    <message>
        <source>map a COM number to it in ~/.config/tavo/ports.conf: COM3=%1</source>
        <translation>map a COM number to it in ~/.config/tavo/ports.conf: COM3=%1</translation>
    </message>
    <message>
        <source>parallel %1 (map it: LPT1=%1)</source>
        <translation>parallel %1 (map it: LPT1=%1)</translation>
    </message>
    <message>
        <source>%1 %2 cannot be written: %3</source>
        <translation>%1 %2 cannot be written: %3</translation>
    </message>
    <message>
        <source>the folder cannot be made</source>
        <translation>the folder cannot be made</translation>
    </message>
    <message>
        <source>写入 NV 存储：XOFF %1 ms</source>
        <translation>写入 NV 存储：XOFF %1 ms</translation>
    </message>
    <message>
        <source>data at %1 bit/s, printer set to %2</source>
        <translation>线路上的数据为 %1 bit/s，打印机设为 %2</translation>
    </message>
    <message>
        <source>小票无法保存：%1</source>
        <translation>小票无法保存：%1</translation>
    </message>
    <message>
        <source>单价</source>
        <translation>单价</translation>
    </message>
    <message>
        <source>总计</source>
        <translation>总计</translation>
    </message>
    <message>
        <source>小票超过 %1 点长，已撕下</source>
        <translation>小票超过 %1 点长，已撕下</translation>
    </message>
    <message>
        <source>走纸 %1 点，图中只画 %2 点</source>
        <translation>走纸 %1 点，图中只画 %2 点</translation>
    </message>
</context>
<context>
    <name>vp::PrinterWindow</name>
    <message>
        <source>Tavo 虚拟打印机</source>
        <translation>Tavo 虚拟打印机</translation>
    </message>
    <message>
        <source>状态请求的回答：</source>
        <translation>状态请求的回答：</translation>
    </message>
    <message>
        <source>小票 %1，切纸 %2，钱箱 %3，蜂鸣 %4，不认识的命令 %5</source>
        <translation>小票 %1，切纸 %2，钱箱 %3，蜂鸣 %4，不认识的命令 %5</translation>
    </message>
</context>
</TS>
