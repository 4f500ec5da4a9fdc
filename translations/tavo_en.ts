<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>EComPort</name>
    <message>
        <source> (win error code: %1)</source>
        <translation> (win error code: %1)</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>选择通讯端口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>选择波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>IP 地址:</source>
        <translation>IP address:</translation>
    </message>
    <message>
        <source>40/33</source>
        <translation>40/33</translation>
    </message>
    <message>
        <source>42/35</source>
        <translation>42/35</translation>
    </message>
    <message>
        <source>36/30</source>
        <translation>36/30</translation>
    </message>
    <message>
        <source>设置针打H参数</source>
        <translation>Set H parameter</translation>
    </message>
    <message>
        <source>打印 H</source>
        <translation>Print H</translation>
    </message>
    <message>
        <source>设置参数  T =</source>
        <translation>Parameter T =</translation>
    </message>
    <message>
        <source>设置默认代码页</source>
        <translation>Set code page</translation>
    </message>
    <message>
        <source>打印默认代码页</source>
        <translation>Print code page</translation>
    </message>
    <message>
        <source>设置参数 t =</source>
        <translation>Parameter t =</translation>
    </message>
    <message>
        <source>打印测试(&amp;P)</source>
        <translation>&amp;Print test</translation>
    </message>
    <message>
        <source>开钱箱(&amp;O)</source>
        <translation>&amp;Open drawer</translation>
    </message>
    <message>
        <source>切纸(&amp;C)</source>
        <translation>&amp;Cut paper</translation>
    </message>
    <message>
        <source>退出(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>访问官方网站</source>
        <translation>Visit website</translation>
    </message>
    <message>
        <source>传输记录</source>
        <translation>Transfer log</translation>
    </message>
    <message>
        <source>每条发送到打印机的命令（Ctrl+L）</source>
        <translation>Every command sent to the printer (Ctrl+L)</translation>
    </message>
    <message>
        <source>NOTICE:Please select the correct communication port!</source>
        <translation>NOTICE:Please select the correct communication port!</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial </translation>
    </message>
    <message>
        <source>Tavo 系列打印机测试设置程序 V4.0</source>
        <translation>Tavo Printer Test and Settings V4.0</translation>
    </message>
    <message>
        <source>Tavo 系列打印机 测试与设置工具</source>
        <translation>Tavo test and settings tool</translation>
    </message>
    <message>
        <source>Tavo 系列打印机测试设置程序</source>
        <translation>Tavo printer test and settings program</translation>
    </message>
    <message>
        <source>版本 V4.0</source>
        <translation>Version V4.0</translation>
    </message>
    <message>
        <source>适用机型：Tavo58 / Tavo76 / Tavo80 / Tavo-K3</source>
        <translation>Models: Tavo58 / Tavo76 / Tavo80 / Tavo-K3</translation>
    </message>
    <message>
        <source>通讯方式：并口、串口、以太网</source>
        <translation>Connections: parallel, serial, Ethernet</translation>
    </message>
    <message>
        <source>串口默认：8 数据位，无校验，1 停止位</source>
        <translation>Serial default: 8 data bits, no parity, 1 stop bit</translation>
    </message>
    <message>
        <source>流控：XON/XOFF</source>
        <translation>Flow control: XON/XOFF</translation>
    </message>
    <message>
        <source>以太网端口：9100</source>
        <translation>Ethernet port: 9100</translation>
    </message>
    <message>
        <source>技术支持：</source>
        <translation>Support: </translation>
    </message>
    <message>
        <source>仅供技术人员使用</source>
        <translation>For technicians only</translation>
    </message>
    <message>
        <source>You must select Serial Port for Tavo-K1 with serial port!!</source>
        <translation>You must select Serial Port for Tavo-K1 with serial port!!</translation>
    </message>
    <message>
        <source>You must select Serial Port for Tavo-K3&apos;s LED Display!!</source>
        <translation>You must select Serial Port for Tavo-K3&apos;s LED Display!!</translation>
    </message>
    <message>
        <source>You must select 2400bps for Tavo-K3&apos;s LED Display!!</source>
        <translation>You must select 2400bps for Tavo-K3&apos;s LED Display!!</translation>
    </message>
    <message>
        <source>启用</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Disable</translation>
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
        <translation>Small font on (9*17)</translation>
    </message>
    <message>
        <source>禁用小字体(9*17)</source>
        <translation>Small font off (9*17)</translation>
    </message>
    <message>
        <source>Tavo76 针打黑标设置</source>
        <translation>Tavo76 black mark</translation>
    </message>
    <message>
        <source>针打黑标控制设置</source>
        <translation>Black mark offsets</translation>
    </message>
    <message>
        <source>Tavo58系列串口设置</source>
        <translation>Tavo58 serial port</translation>
    </message>
    <message>
        <source>波特率设置</source>
        <translation>baud rate</translation>
    </message>
    <message>
        <source>Tavo-K3 LED显示</source>
        <translation>Tavo-K3 LED display</translation>
    </message>
    <message>
        <source>LED显示演示</source>
        <translation>LED display demo</translation>
    </message>
    <message>
        <source>Tavo80 NV Logo演示</source>
        <translation>Tavo80 NV logo demo</translation>
    </message>
    <message>
        <source>NV Logo下载</source>
        <translation>NV logo download</translation>
    </message>
    <message>
        <source>Tavo76打印纸宽选择</source>
        <translation>Tavo76 paper width</translation>
    </message>
    <message>
        <source>打印纸宽选择</source>
        <translation>Set paper width</translation>
    </message>
    <message>
        <source>Tavo76针打浓度设置</source>
        <translation>Tavo76 print density</translation>
    </message>
    <message>
        <source>设置打印浓度</source>
        <translation>Set print density</translation>
    </message>
    <message>
        <source>Tavo76针打自动换行设置</source>
        <translation>Tavo76 auto line feed</translation>
    </message>
    <message>
        <source>自动换行</source>
        <translation>Auto line feed</translation>
    </message>
    <message>
        <source>Tavo76针打蜂鸣器设置</source>
        <translation>Tavo76 buzzer</translation>
    </message>
    <message>
        <source>蜂鸣器功能</source>
        <translation>Set buzzer</translation>
    </message>
    <message>
        <source>Tavo80重打禁用/启用</source>
        <translation>Tavo80 reprint on/off</translation>
    </message>
    <message>
        <source>纸尽自动重打功能</source>
        <translation>Paper-out reprint</translation>
    </message>
    <message>
        <source>Tavo80仿真模式选择</source>
        <translation>Tavo80 emulation</translation>
    </message>
    <message>
        <source>仿真模式选择</source>
        <translation>Set emulation</translation>
    </message>
    <message>
        <source>Tavo58小字体是否有效</source>
        <translation>Tavo58 small font</translation>
    </message>
    <message>
        <source>小字体功能</source>
        <translation>Set small font</translation>
    </message>
    <message>
        <source>Tavo串行接口状态检测</source>
        <translation>Tavo serial status</translation>
    </message>
    <message>
        <source>串口状态检测</source>
        <translation>Status check</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>打印机状态检测</source>
        <translation>Check status</translation>
    </message>
    <message>
        <source>打印机状态:</source>
        <translation>Printer status:</translation>
    </message>
    <message>
        <source>查找打印机</source>
        <translation>Find printer</translation>
    </message>
    <message>
        <source>Tavo 串口型号打印机状态检测</source>
        <translation>Tavo serial printer status check</translation>
    </message>
    <message>
        <source>打印机型号</source>
        <translation>Printer model</translation>
    </message>
    <message>
        <source>Tavo-76XX系列</source>
        <translation>Tavo-76XX series</translation>
    </message>
    <message>
        <source>Tavo-58K系列</source>
        <translation>Tavo-58K series</translation>
    </message>
    <message>
        <source>Tavo-80XXX/Tavo-Q80XXX系列</source>
        <translation>Tavo-80XXX/Tavo-Q80XXX series</translation>
    </message>
    <message>
        <source>Tavo-58XX系列</source>
        <translation>Tavo-58XX series</translation>
    </message>
    <message>
        <source>You must select Serial Port!!</source>
        <translation>You must select Serial Port!!</translation>
    </message>
    <message>
        <source>打印机 联机.</source>
        <translation>Printer online.</translation>
    </message>
    <message>
        <source>打印机 脱机!</source>
        <translation>Printer offline!</translation>
    </message>
    <message>
        <source>未检测到 打印机!</source>
        <translation>No printer detected!</translation>
    </message>
    <message>
        <source>把主窗口的端口和波特率设为 %1 @ %2？</source>
        <translation>Set the main window&apos;s port and baud rate to %1 @ %2?</translation>
    </message>
    <message>
        <source>查找网络打印机的地址范围：网段（192.168.1.0/24）或“起–止”地址；空着就查本机所在的网络</source>
        <translation>The addresses to search for network printers: a network (192.168.1.0/24) or a “from–to” range; empty: this computer’s own networks</translation>
    </message>
    <message>
        <source>把主窗口的端口设为 %1？</source>
        <translation>Set the main window’s port to %1?</translation>
    </message>
    <message>
        <source>把主窗口的端口设为以太网，IP 地址设为 %1？</source>
        <translation>Set the main window’s port to Ethernet and its IP address to %1?</translation>
    </message>
</context>
<context>
    <name>Tbmf</name>
    <message>
        <source>起始打印位置在检测到黑标位置后前进</source>
        <translation>Print start after the mark: forward</translation>
    </message>
    <message>
        <source>起始打印位置在检测到黑标位置后后退</source>
        <translation>Print start after the mark: back</translation>
    </message>
    <message>
        <source>切/撕纸位置在检测到黑标位置后前进</source>
        <translation>Cut/tear point after the mark: forward</translation>
    </message>
    <message>
        <source>切/撕纸位置在检测到黑标位置后后退</source>
        <translation>Cut/tear point after the mark: back</translation>
    </message>
    <message>
        <source>毫米处</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>打印并走纸到下一个起始打印位置</source>
        <translation>Print and feed to the next print start</translation>
    </message>
    <message>
        <source>打印并走纸到下一个切撕纸位置</source>
        <translation>Print and feed to the next cut/tear point</translation>
    </message>
    <message>
        <source>nL=</source>
        <translation>nL=</translation>
    </message>
    <message>
        <source>nH=</source>
        <translation>nH=</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Tavo 76针打黑标定位偏移量设置/演示</source>
        <translation>Tavo 76 dot-matrix black mark offsets / demo</translation>
    </message>
    <message>
        <source>最大退纸长度不能 超过 100 毫米！！</source>
        <translation>The paper cannot go back more than 100 mm!!</translation>
    </message>
    <message>
        <source>距离不能为负数！请用前进或后退按钮选择方向。</source>
        <translation>The distance cannot be negative! Choose the direction with the forward or back button.</translation>
    </message>
    <message>
        <source>距离太大，超出打印机可设置的范围！</source>
        <translation>The distance is beyond the printer&apos;s range!</translation>
    </message>
</context>
<context>
    <name>Tledf</name>
    <message>
        <source>关    闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>亮 单价</source>
        <translation>Light price</translation>
    </message>
    <message>
        <source>亮 总计</source>
        <translation>Light total</translation>
    </message>
    <message>
        <source>显示 金额</source>
        <translation>Show amount</translation>
    </message>
    <message>
        <source>清屏</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清光标行</source>
        <translation>Clear line</translation>
    </message>
    <message>
        <source>初始化 LED</source>
        <translation>Initialise LED</translation>
    </message>
    <message>
        <source>Tavo-K3 LED 客显演示</source>
        <translation>Tavo-K3 LED customer display demo</translation>
    </message>
    <message>
        <source>You must select Serial Port for Tavo-K3&apos;s LED Display!!</source>
        <translation>You must select Serial Port for Tavo-K3&apos;s LED Display!!</translation>
    </message>
</context>
<context>
    <name>Tlogf</name>
    <message>
        <source>文件 %1 无法写入。</source>
        <translation>The file %1 cannot be written.</translation>
    </message>
    <message>
        <source>传输记录</source>
        <translation>Transfer log</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>去向</source>
        <translation>To</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存字节 (.bin)</source>
        <translation>Save bytes (.bin)</translation>
    </message>
    <message>
        <source>保存文本</source>
        <translation>Save text</translation>
    </message>
    <message>
        <source>打开 .bin 并发送</source>
        <translation>Send a .bin file</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>请先在列表中选择要保存的记录。</source>
        <translation>First select the entries to save in the list.</translation>
    </message>
    <message>
        <source>命令字节 (*.bin)</source>
        <translation>Command bytes (*.bin)</translation>
    </message>
    <message>
        <source>文本 (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>命令字节 (*.bin);;所有文件 (*)</source>
        <translation>Command bytes (*.bin);;All files (*)</translation>
    </message>
    <message>
        <source>无法打开文件 &quot;%1&quot;：%2</source>
        <translation>Cannot open the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>文件 &quot;%1&quot; 太大（%2 字节），不是一条打印机命令</source>
        <translation>The file &quot;%1&quot; is too large (%2 bytes) to be a printer command</translation>
    </message>
    <message>
        <source>文件 &quot;%1&quot; 是空的，没有可发送的字节。</source>
        <translation>The file &quot;%1&quot; is empty: there are no bytes to send.</translation>
    </message>
</context>
<context>
    <name>Tnvf</name>
    <message>
        <source>无法读取位图文件 &quot;%1&quot;：%2</source>
        <translation>Cannot read the bitmap file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>文件不完整</source>
        <translation>the file is incomplete</translation>
    </message>
    <message>
        <source>像素的颜色不在调色板中</source>
        <translation>a pixel&apos;s colour is not in the palette</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>文件无法读取</source>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>不是有效的 BMP 图像</source>
        <translation>not a valid BMP image</translation>
    </message>
    <message>
        <source>图像数据无效</source>
        <translation>invalid image data</translation>
    </message>
    <message>
        <source>图像大小无效</source>
        <translation>invalid image size</translation>
    </message>
    <message>
        <source>无法读取位图文件 &quot;%1&quot;：图像太大（%2 × %3 像素）</source>
        <translation>Cannot read the bitmap file &quot;%1&quot;: the image is too large (%2 × %3 pixels)</translation>
    </message>
    <message>
        <source>打开BMP文件</source>
        <translation>Open BMP file</translation>
    </message>
    <message>
        <source>位图大小: 1176 字节</source>
        <translation>Size: 1176 bytes</translation>
    </message>
    <message>
        <source>原始</source>
        <translation>Raw</translation>
    </message>
    <message>
        <source>变换后</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>下载NV Logo</source>
        <translation>Download NV logo</translation>
    </message>
    <message>
        <source>打印NV Logo</source>
        <translation>Print NV logo</translation>
    </message>
    <message>
        <source>清除NV Logo</source>
        <translation>Clear NV logo</translation>
    </message>
    <message>
        <source>打印时大小缩放</source>
        <translation>Print scaling</translation>
    </message>
    <message>
        <source>原始大小</source>
        <translation>Normal size</translation>
    </message>
    <message>
        <source>双倍宽</source>
        <translation>Double width</translation>
    </message>
    <message>
        <source>双倍高</source>
        <translation>Double height</translation>
    </message>
    <message>
        <source>双倍宽、高</source>
        <translation>Double both</translation>
    </message>
    <message>
        <source>Star Mode</source>
        <translation>Star Mode</translation>
    </message>
    <message>
        <source>E%1</source>
        <translation>E%1</translation>
    </message>
    <message>
        <source>80切切刀测试</source>
        <translation>80 cutter test</translation>
    </message>
    <message>
        <source>定义下载位图</source>
        <translation>Define bit image</translation>
    </message>
    <message>
        <source>定义下载位图II(去空点)</source>
        <translation>Define bit image II (trim)</translation>
    </message>
    <message>
        <source>打印下载位图</source>
        <translation>Print bit image</translation>
    </message>
    <message>
        <source>Button9</source>
        <translation>Button9</translation>
    </message>
    <message>
        <source>转换后的数据TXT</source>
        <translation>Plain data TXT</translation>
    </message>
    <message>
        <source>加密后的数据</source>
        <translation>Encoded data</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Tavo 80 NV Logo 演示</source>
        <translation>Tavo 80 NV logo demo</translation>
    </message>
    <message>
        <source>位图文件 (*.BMP *.bmp)</source>
        <translation>Bitmap files (*.BMP *.bmp)</translation>
    </message>
    <message>
        <source>位图大小： </source>
        <translation>Size: </translation>
    </message>
    <message>
        <source> 字节</source>
        <translation> bytes</translation>
    </message>
    <message>
        <source>下载需 %1 字节，超出 NV Logo 上限，不能下载</source>
        <translation>Needs %1 bytes: over the NV logo limit</translation>
    </message>
    <message>
        <source>BMP图形太大!请重新选择!</source>
        <translation>The BMP picture is too large! Please choose another!</translation>
    </message>
    <message>
        <source>BMP图形太大，不能下载！请重新选择!</source>
        <translation>The BMP picture is too large to download! Please choose another!</translation>
    </message>
    <message>
        <source>去空点的边距无效：左右边距之和、上下边距之和都必须是 8 的倍数，且不能超出位图。</source>
        <translation>Invalid trimming margins: left plus right and top plus bottom must each be a multiple of 8 and stay within the picture.</translation>
    </message>
    <message>
        <source>恭喜！！NV Logo 下载成功！</source>
        <translation>Congratulations!! The NV logo was downloaded!</translation>
    </message>
    <message>
        <source>恭喜！！定义下载位图成功！</source>
        <translation>Congratulations!! The bit image was defined!</translation>
    </message>
    <message>
        <source>HEX 文件 %1 无法写入。</source>
        <translation>The HEX file %1 cannot be written.</translation>
    </message>
    <message>
        <source>HEX 文件已写入：%1（%2 字节）</source>
        <translation>HEX file written: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>导出的文本只写入 HEX 文件：请先勾选 &quot;HEX&quot;。</source>
        <translation>Exported text goes only to the HEX file: tick &quot;HEX&quot; first.</translation>
    </message>
    <message>
        <source>导出的文本已写入 %1</source>
        <translation>Exported text written to %1</translation>
    </message>
    <message>
        <source>位图大小: </source>
        <translation>Size: </translation>
    </message>
    <message>
        <source>没有填写 HEX 文件名。</source>
        <translation>No HEX file name is filled in.</translation>
    </message>
</context>
<context>
    <name>app</name>
    <message>
        <source>Tavo 打印机测试设置程序 V3.0</source>
        <translation>Tavo Printer Test and Settings V3.0</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>missing argument: %1</source>
        <translation>missing argument: %1</translation>
    </message>
    <message>
        <source>%1 takes one of: %2</source>
        <translation>%1 takes one of: %2</translation>
    </message>
    <message>
        <source>--margins takes LEFT,RIGHT,TOP,BOTTOM in dots</source>
        <translation>--margins takes LEFT,RIGHT,TOP,BOTTOM in dots</translation>
    </message>
    <message>
        <source>--width takes 40, 42 or 36</source>
        <translation>--width takes 40, 42 or 36</translation>
    </message>
    <message>
        <source>led-amount shows at most 9 characters</source>
        <translation>led-amount shows at most 9 characters</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>give one of --port, --ip and --lpt</source>
        <translation>give one of --port, --ip and --lpt</translation>
    </message>
    <message>
        <source>--baud takes one of %1</source>
        <translation>--baud takes one of %1</translation>
    </message>
    <message>
        <source>--port takes COM1 to COM8</source>
        <translation>--port takes COM1 to COM8</translation>
    </message>
    <message>
        <source>--lpt takes LPT1 or LPT2</source>
        <translation>--lpt takes LPT1 or LPT2</translation>
    </message>
    <message>
        <source>Usage: tavo-cli [--port COMn [--baud RATE] | --ip ADDRESS | --lpt LPTn] [--dry-run] COMMAND [ARGS]
Sends one command to the printer, byte for byte as the windows send it.
  --port COMn    serial port COM1 to COM8 (see the port map in README.md)
  --baud RATE    2400, 4800, 9600 (default), 19200, 38400, 57600 or 115200
  --ip ADDRESS   network printer: host or host:port
  --lpt LPTn     parallel port LPT1 or LPT2
  --dry-run      print the decoded command and send nothing
Exit status: 0 done, 1 error or bad arguments, 2 connection refused.

Commands:
</source>
        <translation>Usage: tavo-cli [--port COMn [--baud RATE] | --ip ADDRESS | --lpt LPTn] [--dry-run] COMMAND [ARGS]
Sends one command to the printer, byte for byte as the windows send it.
  --port COMn    serial port COM1 to COM8 (see the port map in README.md)
  --baud RATE    2400, 4800, 9600 (default), 19200, 38400, 57600 or 115200
  --ip ADDRESS   network printer: host or host:port
  --lpt LPTn     parallel port LPT1 or LPT2
  --dry-run      print the decoded command and send nothing
Exit status: 0 done, 1 error or bad arguments, 2 connection refused.

Commands:
</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>unknown command: %1</source>
        <translation>unknown command: %1</translation>
    </message>
    <message>
        <source>Try tavo-cli --help.</source>
        <translation>Try tavo-cli --help.</translation>
    </message>
    <message>
        <source>no connection given: --port, --ip or --lpt</source>
        <translation>no connection given: --port, --ip or --lpt</translation>
    </message>
    <message>
        <source>sent %1 bytes to %2</source>
        <translation>sent %1 bytes to %2</translation>
    </message>
    <message>
        <source>%1 takes %2 to %3, not %4</source>
        <translation>%1 takes %2 to %3, not %4</translation>
    </message>
    <message>
        <source>serial-speed takes a rate (2400, 4800, 9600, 19200, 38400, 57600 or 115200) or a code 0 to 6, not %1</source>
        <translation>serial-speed takes a rate (2400, 4800, 9600, 19200, 38400, 57600 or 115200) or a code 0 to 6, not %1</translation>
    </message>
    <message>
        <source> (or %1)</source>
        <translation> (or %1)</translation>
    </message>
    <message>
        <source>h-set takes one hexadecimal digit, 0 to F, not %1</source>
        <translation>h-set takes one hexadecimal digit, 0 to F, not %1</translation>
    </message>
    <message>
        <source>%1: a printer is there, but it has no status back channel</source>
        <translation>%1: a printer is there, but it has no status back channel</translation>
    </message>
</context>
<context>
    <name>dispatch</name>
    <message>
        <source>Connect error</source>
        <translation>Connect error</translation>
    </message>
</context>
<context>
    <name>escpos</name>
    <message>
        <source>paper width</source>
        <translation>paper width</translation>
    </message>
    <message>
        <source>print density</source>
        <translation>print density</translation>
    </message>
    <message>
        <source>automatic line feed</source>
        <translation>automatic line feed</translation>
    </message>
    <message>
        <source>buzzer</source>
        <translation>buzzer</translation>
    </message>
    <message>
        <source>reprint after paper-out</source>
        <translation>reprint after paper-out</translation>
    </message>
    <message>
        <source>emulation mode</source>
        <translation>emulation mode</translation>
    </message>
    <message>
        <source>small font</source>
        <translation>small font</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>normal</translation>
    </message>
    <message>
        <source>double width</source>
        <translation>double width</translation>
    </message>
    <message>
        <source>double height</source>
        <translation>double height</translation>
    </message>
    <message>
        <source>double width and height</source>
        <translation>double width and height</translation>
    </message>
    <message>
        <source>scaling %1 (undefined)</source>
        <translation>scaling %1 (undefined)</translation>
    </message>
    <message>
        <source>cut short: %1 of %2 bytes</source>
        <translation>cut short: %1 of %2 bytes</translation>
    </message>
    <message>
        <source>unknown command</source>
        <translation>unknown command</translation>
    </message>
    <message>
        <source>print and feed one line</source>
        <translation>print and feed one line</translation>
    </message>
    <message>
        <source>print and feed %1 lines</source>
        <translation>print and feed %1 lines</translation>
    </message>
    <message>
        <source>%1 × NUL: nothing, the printer skips it</source>
        <translation>%1 × NUL: nothing, the printer skips it</translation>
    </message>
    <message>
        <source>carriage return</source>
        <translation>carriage return</translation>
    </message>
    <message>
        <source>form feed (customer display: clear the display)</source>
        <translation>form feed (customer display: clear the display)</translation>
    </message>
    <message>
        <source>cancel (customer display: clear the line)</source>
        <translation>cancel (customer display: clear the line)</translation>
    </message>
    <message>
        <source>unknown byte</source>
        <translation>unknown byte</translation>
    </message>
    <message>
        <source>%1 unknown bytes</source>
        <translation>%1 unknown bytes</translation>
    </message>
    <message>
        <source>text &quot;%1&quot; (1 byte)</source>
        <translation>text &quot;%1&quot; (1 byte)</translation>
    </message>
    <message>
        <source>text &quot;%1&quot; (%2 bytes)</source>
        <translation>text &quot;%1&quot; (%2 bytes)</translation>
    </message>
    <message>
        <source>initialise the printer</source>
        <translation>initialise the printer</translation>
    </message>
    <message>
        <source>partial cut</source>
        <translation>partial cut</translation>
    </message>
    <message>
        <source>status request: paper sensor</source>
        <translation>status request: paper sensor</translation>
    </message>
    <message>
        <source>code %1 (undefined)</source>
        <translation>code %1 (undefined)</translation>
    </message>
    <message>
        <source>cash drawer pulse: pin %1, on %2 ms, off %3 ms</source>
        <translation>cash drawer pulse: pin %1, on %2 ms, off %3 ms</translation>
    </message>
    <message>
        <source>customer display: show &quot;%1&quot;</source>
        <translation>customer display: show &quot;%1&quot;</translation>
    </message>
    <message>
        <source>justification (Star): %1</source>
        <translation>justification (Star): %1</translation>
    </message>
    <message>
        <source>left</source>
        <translation>left</translation>
    </message>
    <message>
        <source>centred</source>
        <translation>centred</translation>
    </message>
    <message>
        <source>right</source>
        <translation>right</translation>
    </message>
    <message>
        <source>%1 (undefined)</source>
        <translation>%1 (undefined)</translation>
    </message>
    <message>
        <source>unidirectional printing on</source>
        <translation>unidirectional printing on</translation>
    </message>
    <message>
        <source>unidirectional printing off</source>
        <translation>unidirectional printing off</translation>
    </message>
    <message>
        <source>line spacing: %1 units</source>
        <translation>line spacing: %1 units</translation>
    </message>
    <message>
        <source>font B (9 × 17)</source>
        <translation>font B (9 × 17)</translation>
    </message>
    <message>
        <source>font A (12 × 24)</source>
        <translation>font A (12 × 24)</translation>
    </message>
    <message>
        <source>emphasised</source>
        <translation>emphasised</translation>
    </message>
    <message>
        <source>underlined</source>
        <translation>underlined</translation>
    </message>
    <message>
        <source>print mode: %1</source>
        <translation>print mode: %1</translation>
    </message>
    <message>
        <source>character code table %1</source>
        <translation>character code table %1</translation>
    </message>
    <message>
        <source>emphasis on</source>
        <translation>emphasis on</translation>
    </message>
    <message>
        <source>emphasis off</source>
        <translation>emphasis off</translation>
    </message>
    <message>
        <source>underline off</source>
        <translation>underline off</translation>
    </message>
    <message>
        <source>underline on</source>
        <translation>underline on</translation>
    </message>
    <message>
        <source>justification: %1</source>
        <translation>justification: %1</translation>
    </message>
    <message>
        <source>print colour: black</source>
        <translation>print colour: black</translation>
    </message>
    <message>
        <source>print colour: red</source>
        <translation>print colour: red</translation>
    </message>
    <message>
        <source>print colour %1 (undefined)</source>
        <translation>print colour %1 (undefined)</translation>
    </message>
    <message>
        <source>all indicators off</source>
        <translation>all indicators off</translation>
    </message>
    <message>
        <source>unit price</source>
        <translation>unit price</translation>
    </message>
    <message>
        <source>total</source>
        <translation>total</translation>
    </message>
    <message>
        <source>collect</source>
        <translation>collect</translation>
    </message>
    <message>
        <source>change</source>
        <translation>change</translation>
    </message>
    <message>
        <source>customer display indicator: %1</source>
        <translation>customer display indicator: %1</translation>
    </message>
    <message>
        <source>NV bit image %1: %2 × %3 dots, %4 data bytes</source>
        <translation>NV bit image %1: %2 × %3 dots, %4 data bytes</translation>
    </message>
    <message>
        <source>define NV bit images: none</source>
        <translation>define NV bit images: none</translation>
    </message>
    <message>
        <source>, closing byte 01</source>
        <translation>, closing byte 01</translation>
    </message>
    <message>
        <source>print NV bit image %1, %2</source>
        <translation>print NV bit image %1, %2</translation>
    </message>
    <message>
        <source>Chinese character mode on</source>
        <translation>Chinese character mode on</translation>
    </message>
    <message>
        <source>Chinese character mode off</source>
        <translation>Chinese character mode off</translation>
    </message>
    <message>
        <source>prefix of the NV logo and black-mark commands</source>
        <translation>prefix of the NV logo and black-mark commands</translation>
    </message>
    <message>
        <source>feed marked paper to the print start position</source>
        <translation>feed marked paper to the print start position</translation>
    </message>
    <message>
        <source>character size: %1 × wide, %2 × high</source>
        <translation>character size: %1 × wide, %2 × high</translation>
    </message>
    <message>
        <source>define downloaded bit image: %1 × %2 dots, %3 data bytes</source>
        <translation>define downloaded bit image: %1 × %2 dots, %3 data bytes</translation>
    </message>
    <message>
        <source>quadruple</source>
        <translation>quadruple</translation>
    </message>
    <message>
        <source>print downloaded bit image, %1</source>
        <translation>print downloaded bit image, %1</translation>
    </message>
    <message>
        <source>raster bit image, %1: %2 × %3 dots, %4 data bytes</source>
        <translation>raster bit image, %1: %2 × %3 dots, %4 data bytes</translation>
    </message>
    <message>
        <source>full cut</source>
        <translation>full cut</translation>
    </message>
    <message>
        <source>full cut after feeding %1 units</source>
        <translation>full cut after feeding %1 units</translation>
    </message>
    <message>
        <source>partial cut after feeding %1 units</source>
        <translation>partial cut after feeding %1 units</translation>
    </message>
    <message>
        <source>black-mark setting with %1 parameter bytes</source>
        <translation>black-mark setting with %1 parameter bytes</translation>
    </message>
    <message>
        <source>print start position</source>
        <translation>print start position</translation>
    </message>
    <message>
        <source>cut position</source>
        <translation>cut position</translation>
    </message>
    <message>
        <source>position %1 (undefined)</source>
        <translation>position %1 (undefined)</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>forward</translation>
    </message>
    <message>
        <source>backward</source>
        <translation>backward</translation>
    </message>
    <message>
        <source>direction %1 (undefined)</source>
        <translation>direction %1 (undefined)</translation>
    </message>
    <message>
        <source>black mark: %1 %2 %3 units (%4 mm)</source>
        <translation>black mark: %1 %2 %3 units (%4 mm)</translation>
    </message>
    <message>
        <source>printer status</source>
        <translation>printer status</translation>
    </message>
    <message>
        <source>offline cause</source>
        <translation>offline cause</translation>
    </message>
    <message>
        <source>error cause</source>
        <translation>error cause</translation>
    </message>
    <message>
        <source>paper sensor</source>
        <translation>paper sensor</translation>
    </message>
    <message>
        <source>real-time status request: %1</source>
        <translation>real-time status request: %1</translation>
    </message>
    <message>
        <source>print the H parameter</source>
        <translation>print the H parameter</translation>
    </message>
    <message>
        <source>H parameter: %1</source>
        <translation>H parameter: %1</translation>
    </message>
    <message>
        <source>default code page: %1</source>
        <translation>default code page: %1</translation>
    </message>
    <message>
        <source>serial speed: code %1 (%2 bit/s)</source>
        <translation>serial speed: code %1 (%2 bit/s)</translation>
    </message>
    <message>
        <source>serial speed: code %1 (no such speed)</source>
        <translation>serial speed: code %1 (no such speed)</translation>
    </message>
    <message>
        <source>value 0x%1 (no entry has it)</source>
        <translation>value 0x%1 (no entry has it)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>configuration with unknown feature code %1</source>
        <translation>configuration with unknown feature code %1</translation>
    </message>
    <message>
        <source>beep</source>
        <translation>beep</translation>
    </message>
    <message>
        <source>horizontal tab</source>
        <translation>horizontal tab</translation>
    </message>
    <message>
        <source>not printed</source>
        <translation>not printed</translation>
    </message>
    <message>
        <source>above the bars</source>
        <translation>above the bars</translation>
    </message>
    <message>
        <source>below the bars</source>
        <translation>below the bars</translation>
    </message>
    <message>
        <source>above and below the bars</source>
        <translation>above and below the bars</translation>
    </message>
    <message>
        <source>default line spacing</source>
        <translation>default line spacing</translation>
    </message>
    <message>
        <source>print and feed %1 units</source>
        <translation>print and feed %1 units</translation>
    </message>
    <message>
        <source>print and feed back %1 units</source>
        <translation>print and feed back %1 units</translation>
    </message>
    <message>
        <source>print and feed back %1 lines</source>
        <translation>print and feed back %1 lines</translation>
    </message>
    <message>
        <source>partial cut (one point left)</source>
        <translation>partial cut (one point left)</translation>
    </message>
    <message>
        <source>international character set %1</source>
        <translation>international character set %1</translation>
    </message>
    <message>
        <source>upside-down printing: %1</source>
        <translation>upside-down printing: %1</translation>
    </message>
    <message>
        <source>90° rotation: %1</source>
        <translation>90° rotation: %1</translation>
    </message>
    <message>
        <source>right-side character spacing: %1 units</source>
        <translation>right-side character spacing: %1 units</translation>
    </message>
    <message>
        <source>double-strike: %1</source>
        <translation>double-strike: %1</translation>
    </message>
    <message>
        <source>select peripheral device %1</source>
        <translation>select peripheral device %1</translation>
    </message>
    <message>
        <source>panel or paper sensor setting %1</source>
        <translation>panel or paper sensor setting %1</translation>
    </message>
    <message>
        <source>beep %1 times, %2 × 50 ms each</source>
        <translation>beep %1 times, %2 × 50 ms each</translation>
    </message>
    <message>
        <source>absolute print position: %1 units</source>
        <translation>absolute print position: %1 units</translation>
    </message>
    <message>
        <source>relative print position: %1 units</source>
        <translation>relative print position: %1 units</translation>
    </message>
    <message>
        <source>white/black reverse printing: %1</source>
        <translation>white/black reverse printing: %1</translation>
    </message>
    <message>
        <source>barcode text: %1</source>
        <translation>barcode text: %1</translation>
    </message>
    <message>
        <source>barcode text font %1</source>
        <translation>barcode text font %1</translation>
    </message>
    <message>
        <source>barcode height: %1 dots</source>
        <translation>barcode height: %1 dots</translation>
    </message>
    <message>
        <source>barcode module width: %1 dots</source>
        <translation>barcode module width: %1 dots</translation>
    </message>
    <message>
        <source>transmit status %1</source>
        <translation>transmit status %1</translation>
    </message>
    <message>
        <source>automatic status back: mask %1</source>
        <translation>automatic status back: mask %1</translation>
    </message>
    <message>
        <source>transmit printer ID %1</source>
        <translation>transmit printer ID %1</translation>
    </message>
    <message>
        <source>left margin: %1 units</source>
        <translation>left margin: %1 units</translation>
    </message>
    <message>
        <source>print area width: %1 units</source>
        <translation>print area width: %1 units</translation>
    </message>
    <message>
        <source>motion units: 1/%1 inch across, 1/%2 inch down</source>
        <translation>motion units: 1/%1 inch across, 1/%2 inch down</translation>
    </message>
    <message>
        <source>double density</source>
        <translation>double density</translation>
    </message>
    <message>
        <source>single density</source>
        <translation>single density</translation>
    </message>
    <message>
        <source>bit image, %1 dots high, %2: %3 columns</source>
        <translation>bit image, %1 dots high, %2: %3 columns</translation>
    </message>
    <message>
        <source>clear the tab stops</source>
        <translation>clear the tab stops</translation>
    </message>
    <message>
        <source>tab stops at %1 characters</source>
        <translation>tab stops at %1 characters</translation>
    </message>
    <message>
        <source>barcode %1: &quot;%2&quot;</source>
        <translation>barcode %1: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1: store %2 bytes of data</source>
        <translation>%1: store %2 bytes of data</translation>
    </message>
    <message>
        <source>%1: print the stored symbol</source>
        <translation>%1: print the stored symbol</translation>
    </message>
    <message>
        <source>%1: transmit the size of the stored symbol</source>
        <translation>%1: transmit the size of the stored symbol</translation>
    </message>
    <message>
        <source>QR: model %1</source>
        <translation>QR: model %1</translation>
    </message>
    <message>
        <source>QR: module size %1 dots</source>
        <translation>QR: module size %1 dots</translation>
    </message>
    <message>
        <source>QR: error correction level %1</source>
        <translation>QR: error correction level %1</translation>
    </message>
    <message>
        <source>QR: error correction %1 (undefined)</source>
        <translation>QR: error correction %1 (undefined)</translation>
    </message>
    <message>
        <source>QR: function %1</source>
        <translation>QR: function %1</translation>
    </message>
    <message>
        <source>PDF417: %1 columns</source>
        <translation>PDF417: %1 columns</translation>
    </message>
    <message>
        <source>PDF417: %1 rows</source>
        <translation>PDF417: %1 rows</translation>
    </message>
    <message>
        <source>PDF417: module width %1 dots</source>
        <translation>PDF417: module width %1 dots</translation>
    </message>
    <message>
        <source>PDF417: row height %1 × the module width</source>
        <translation>PDF417: row height %1 × the module width</translation>
    </message>
    <message>
        <source>PDF417: error correction %1</source>
        <translation>PDF417: error correction %1</translation>
    </message>
    <message>
        <source>PDF417: options %1</source>
        <translation>PDF417: options %1</translation>
    </message>
    <message>
        <source>PDF417: function %1</source>
        <translation>PDF417: function %1</translation>
    </message>
    <message>
        <source>real-time request %1</source>
        <translation>real-time request %1</translation>
    </message>
    <message>
        <source>real-time pulse</source>
        <translation>real-time pulse</translation>
    </message>
    <message>
        <source>real-time power-off</source>
        <translation>real-time power-off</translation>
    </message>
    <message>
        <source>transmit the status at once</source>
        <translation>transmit the status at once</translation>
    </message>
    <message>
        <source>clear the buffers</source>
        <translation>clear the buffers</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>rtl</name>
    <message>
        <source>File not found</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Invalid filename</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>File access denied</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Read beyond end of file</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disk full</translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <translation>Invalid numeric input</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>I/O error %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>&apos;%1&apos; is not a valid floating point value</translation>
    </message>
</context>
<context>
    <name>scan</name>
    <message>
        <source>查找打印机：每个串口、每种波特率</source>
        <translation>Finding printers: every serial port, every baud rate</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 @ %2：打印机%3（状态字节 %4）</source>
        <translation>%1 @ %2: printer %3 (status byte %4)</translation>
    </message>
    <message>
        <source>联机</source>
        <translation>online</translation>
    </message>
    <message>
        <source>脱机</source>
        <translation>offline</translation>
    </message>
    <message>
        <source>没有找到打印机。</source>
        <translation>No printer found.</translation>
    </message>
    <message>
        <source>%1：任何波特率都没有回答</source>
        <translation>%1: no answer at any baud rate</translation>
    </message>
    <message>
        <source>查找已取消（问过 %1 个端口和波特率）。</source>
        <translation>Search cancelled (%1 ports and baud rates asked).</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>%1：无法打开</source>
        <translation>%1: cannot be opened</translation>
    </message>
    <message>
        <source>“%1”不是网段（例如 192.168.1.0/24）</source>
        <translation>“%1” is no network (for example 192.168.1.0/24)</translation>
    </message>
    <message>
        <source>网段 %1 太大：最多 %2 个地址</source>
        <translation>The network %1 is too large: %2 addresses at most</translation>
    </message>
    <message>
        <source>“%1”不是地址范围（例如 192.168.1.10-192.168.1.40）</source>
        <translation>“%1” is no address range (for example 192.168.1.10-192.168.1.40)</translation>
    </message>
    <message>
        <source>地址范围 %1 太大：最多 %2 个地址</source>
        <translation>The address range %1 is too large: %2 addresses at most</translation>
    </message>
    <message>
        <source>查找打印机：USB 和并口打印机、网络打印机</source>
        <translation>Finding printers: USB and parallel printers, network printers</translation>
    </message>
    <message>
        <source>%1：打印机%2（状态字节 %3）</source>
        <translation>%1: printer %2 (status byte %3)</translation>
    </message>
    <message>
        <source>%1：没有回答</source>
        <translation>%1: no answer</translation>
    </message>
    <message>
        <source>%1：有打印机，但没有状态回传通道</source>
        <translation>%1: a printer is there, but it has no status back channel</translation>
    </message>
    <message>
        <source>网络：问过 %1 个地址（%2）</source>
        <translation>Network: %1 addresses asked (%2)</translation>
    </message>
    <message>
        <source>“%1”不是 IPv4 地址</source>
        <translation>“%1” is no IPv4 address</translation>
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
    <name>transfer</name>
    <message>
        <source>%1：没有这个设备。</source>
        <translation>%1: no such device.</translation>
    </message>
    <message>
        <source>%1：正被另一个程序占用：%2（PID %3）。</source>
        <translation>%1: in use by another program: %2 (PID %3).</translation>
    </message>
    <message>
        <source>%1：正被另一个程序占用。</source>
        <translation>%1: in use by another program.</translation>
    </message>
    <message>
        <source>%1：不是串口。</source>
        <translation>%1: not a serial port.</translation>
    </message>
    <message>
        <source>%1：后面没有串口硬件。</source>
        <translation>%1: no serial hardware behind it.</translation>
    </message>
    <message>
        <source>%1：后面没有打印机。</source>
        <translation>%1: no printer behind it.</translation>
    </message>
    <message>
        <source>找不到主机“%1”的地址。</source>
        <translation>Cannot find the address of the host &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>没有填写打印机的 IP 地址。</source>
        <translation>The printer&apos;s IP address is empty.</translation>
    </message>
    <message>
        <source>冒号前面没有 IP 地址</source>
        <translation>no IP address before the colon</translation>
    </message>
    <message>
        <source>“%1”不是 IP 地址，也不是主机名</source>
        <translation>&quot;%1&quot; is neither an IP address nor a host name</translation>
    </message>
    <message>
        <source>IPv6 地址缺少右方括号“]”</source>
        <translation>the IPv6 address lacks its closing &quot;]&quot;</translation>
    </message>
    <message>
        <source>“]”后面只能是冒号和端口号</source>
        <translation>only a colon and a port may follow &quot;]&quot;</translation>
    </message>
    <message>
        <source>冒号后面没有端口号</source>
        <translation>no port after the colon</translation>
    </message>
    <message>
        <source>端口“%1”不是数字</source>
        <translation>the port &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>端口 %1 超出范围（1 到 65535）</source>
        <translation>the port %1 is out of range (1 to 65535)</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>已送到打印机 %1 / %2 字节。</source>
        <translation>%1 / %2 bytes reached the printer.</translation>
    </message>
    <message>
        <source>：打印机停止接收数据。</source>
        <translation>: the printer stopped taking data.</translation>
    </message>
    <message>
        <source>端口映射文件 %1 第 %2 行无效，已忽略：%3（%4）</source>
        <translation>Port map file %1, line %2 is invalid and was ignored: %3 (%4)</translation>
    </message>
    <message>
        <source>%1：没有对应的串口设备。</source>
        <translation>%1: no serial device for this port.</translation>
    </message>
    <message>
        <source>：打印机停止接收数据（XOFF，或没有在读取）。</source>
        <translation>: the printer stopped taking data (XOFF, or not reading).</translation>
    </message>
    <message>
        <source>打印机断开了连接。</source>
        <translation>The printer closed the connection.</translation>
    </message>
    <message>
        <source>打印机在 %1 秒内没有接收数据。</source>
        <translation>The printer took no data for %1 seconds.</translation>
    </message>
    <message>
        <source>打印机没有确认收到全部数据。</source>
        <translation>The printer did not confirm that it received all the data.</translation>
    </message>
    <message>
        <source>网络打印机只收到 %1 / %2 字节</source>
        <translation>The network printer received only %1 / %2 bytes</translation>
    </message>
    <message>
        <source>发送已取消：%1 / %2 字节送到了打印机。</source>
        <translation>Sending cancelled: %1 / %2 bytes reached the printer.</translation>
    </message>
    <message>
        <source>打印机暂停了接收（XOFF），或没有在读取数据。</source>
        <translation>The printer paused (XOFF) or is not reading data.</translation>
    </message>
    <message>
        <source>网络打印机没有在接收数据。</source>
        <translation>The network printer is not taking data.</translation>
    </message>
    <message>
        <source>并口打印机停止接收数据。</source>
        <translation>The parallel printer stopped taking data.</translation>
    </message>
    <message>
        <source>正在发送到 %1</source>
        <translation>Sending to %1</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 / %2 字节</source>
        <translation>%1 / %2 bytes</translation>
    </message>
    <message>
        <source>速率 %1 字节/秒，剩余约 %2 秒</source>
        <translation>%1 bytes/s, about %2 s left</translation>
    </message>
    <message>
        <source>%1 拒绝了连接：那里没有程序在这个端口上接收。</source>
        <translation>%1 refused the connection: nothing listens on that port there.</translation>
    </message>
    <message>
        <source>%1 在 %2 秒内没有回答。</source>
        <translation>%1 did not answer within %2 seconds.</translation>
    </message>
    <message>
        <source>从这台电脑到不了 %1（没有路由）。</source>
        <translation>%1 cannot be reached from this computer (no route).</translation>
    </message>
    <message>
        <source>打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。</source>
        <translation>The printer may still be waiting for the rest of this command: switch it off and on again before the next command.</translation>
    </message>
    <message>
        <source>正在连接 %1……</source>
        <translation>Connecting to %1…</translation>
    </message>
    <message>
        <source>%1：没有权限打开（属主 %2，组 %3，权限 %4）。加入该组：sudo usermod -aG %3 $USER，然后重新登录。</source>
        <translation>%1: no permission to open it (owner %2, group %3, mode %4). Join the group: sudo usermod -aG %3 $USER, then log in again.</translation>
    </message>
    <message>
        <source>%1：没有权限打开它所在的文件夹。</source>
        <translation>%1: no permission to open the folder it is in.</translation>
    </message>
    <message>
        <source>%1：没有权限打开（属主 %2，组 %3，权限 %4）：只有 %2 能读写它，加入哪个组都没有用。请管理员改它的权限（例如用 udev 规则），或换一个有权限的用户。</source>
        <translation>%1: no permission to open it (owner %2, group %3, mode %4): only %2 may read and write it, so joining a group cannot help. Ask an administrator to change its permissions (with a udev rule, for example), or use a user who may open it.</translation>
    </message>
    <message>
        <source>%1：没有程序在读取它。</source>
        <translation>%1: nobody is reading it.</translation>
    </message>
</context>
<context>
    <name>transferlog</name>
    <message>
        <source>发送中</source>
        <translation>sending</translation>
    </message>
    <message>
        <source>已发送；没有回答</source>
        <translation>sent; no answer</translation>
    </message>
    <message>
        <source>已发送；回答 %1</source>
        <translation>sent; answer %1</translation>
    </message>
    <message>
        <source>已发送</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>failed: %1</translation>
    </message>
    <message>
        <source>已取消：送出 %1 / %2 字节</source>
        <translation>cancelled: %1 / %2 bytes sent</translation>
    </message>
    <message>
        <source>时间：%1
去向：%2
长度：%3 字节
结果：%4
</source>
        <translation>Time: %1
To: %2
Length: %3 bytes
Result: %4
</translation>
    </message>
    <message>
        <source>打印机的回答（%1 字节）：%2
</source>
        <translation>Printer&apos;s answer (%1 bytes): %2
</translation>
    </message>
    <message>
        <source>字节：%1

</source>
        <translation>Bytes: %1

</translation>
    </message>
    <message>
        <source>……还有 %1 字节没有列出（“保存文本”保存完整的列表）
</source>
        <translation>… %1 more bytes not listed (“Save text” saves the whole listing)
</translation>
    </message>
</context>
<context>
    <name>virtualprinter</name>
    <message>
        <source>单价</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>总计</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>作业结束时命令不完整，已丢弃 %1 字节</source>
        <translation>Command incomplete at the end of the job: %1 bytes dropped</translation>
    </message>
    <message>
        <source>打印机不认识，已跳过：%1</source>
        <translation>Not known to the printer, skipped: %1</translation>
    </message>
    <message>
        <source>钱箱脉冲</source>
        <translation>Drawer pulse</translation>
    </message>
    <message>
        <source>仿真模式不接受这种写法，已跳过：%1</source>
        <translation>Not accepted in this emulation, skipped: %1</translation>
    </message>
    <message>
        <source>没有 NV 位图 %1</source>
        <translation>No NV image %1</translation>
    </message>
    <message>
        <source>没有下载位图</source>
        <translation>No bit image defined</translation>
    </message>
    <message>
        <source>已收到，没有可画的：%1</source>
        <translation>Received, nothing to draw: %1</translation>
    </message>
    <message>
        <source>H=%1</source>
        <translation>H=%1</translation>
    </message>
    <message>
        <source>设置已保存：%1 = %2</source>
        <translation>Setting saved: %1 = %2</translation>
    </message>
    <message>
        <source>小票超过 %1 点长，已撕下</source>
        <translation>Receipt longer than %1 dots: torn off</translation>
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
        <translation>NV memory written, sending XON</translation>
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
        <source>写入 NV 存储：XOFF %1 ms</source>
        <translation>Writing NV memory: XOFF %1 ms</translation>
    </message>
    <message>
        <source>data at %1 bit/s, printer set to %2</source>
        <translation>data at %1 bit/s, printer set to %2</translation>
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
        <source>state file %1 is no printer memory (%2); move it away or name another</source>
        <translation>state file %1 is no printer memory (%2); move it away or name another</translation>
    </message>
    <message>
        <source>not a JSON object</source>
        <translation>not a JSON object</translation>
    </message>
    <message>
        <source>倒纸 %1：纸不倒回</source>
        <translation>Feed back %1: the paper does not go back</translation>
    </message>
    <message>
        <source>蜂鸣 %1 次</source>
        <translation>Beep %1 times</translation>
    </message>
    <message>
        <source>条码数据不合规则，没有打印：%1</source>
        <translation>Barcode data not valid, not printed: %1</translation>
    </message>
    <message>
        <source>没有存入数据，符号没有打印</source>
        <translation>No data stored: the symbol was not printed</translation>
    </message>
    <message>
        <source>符号数据不合规则，没有打印：%1</source>
        <translation>Symbol data not valid, not printed: %1</translation>
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
        <source>小票无法保存：%1</source>
        <translation>Receipt could not be saved: %1</translation>
    </message>
    <message>
        <source>走纸 %1 点，图中只画 %2 点</source>
        <translation>Feed of %1 dots: %2 dots drawn</translation>
    </message>
    <message>
        <source>--tcp %1: %2 has no address</source>
        <translation>--tcp %1: %2 has no address</translation>
    </message>
</context>
<context>
    <name>vp::PrinterWindow</name>
    <message>
        <source>Tavo 虚拟打印机</source>
        <translation>Tavo virtual printer</translation>
    </message>
    <message>
        <source>状态请求的回答：</source>
        <translation>Answer to status requests:</translation>
    </message>
    <message>
        <source>小票 %1，切纸 %2，钱箱 %3，蜂鸣 %4，不认识的命令 %5</source>
        <translation>Receipts %1, cuts %2, drawer %3, beeps %4, unknown commands %5</translation>
    </message>
</context>
</TS>
