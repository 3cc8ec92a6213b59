<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>BytePattern</name>
    <message>
        <source>16进制数字缺少另一位</source>
        <translation>a hexadecimal digit lacks its pair</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 不是16进制字节</source>
        <translation>&quot;%1&quot; is no hexadecimal byte</translation>
    </message>
    <message>
        <source>没有要等待的数据</source>
        <translation>nothing to expect</translation>
    </message>
    <message>
        <source>超过 %1 字节</source>
        <translation>longer than %1 bytes</translation>
    </message>
</context>
<context>
    <name>CaptureLog</name>
    <message>
        <source>路径/文件访问错误</source>
        <translation>Path/file access error</translation>
    </message>
    <message>
        <source>设备 I/O 错误</source>
        <translation>Device I/O error</translation>
    </message>
    <message>
        <source>错误提示：请检查数据文件夹 %1 是否可以写入、磁盘是否已满！</source>
        <translation>Hint: check that the data folder %1 can be written and the disk is not full!</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
未能写入的记录已超过 %1 MiB，最早的 %2 字节记录已被丢弃；通讯继续进行。</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
The records not yet written exceed %1 MiB; the oldest %2 bytes of records were dropped. Communication goes on.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
有 %1 字节的记录未能保存</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
%1 bytes of records could not be saved</translation>
    </message>
    <message>
        <source>，另有 %1 字节的记录已被丢弃</source>
        <translation>, and %1 bytes of records were dropped</translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>应答时间：</source>
        <translation>Turnaround: </translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>16进制</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>发送 %1</source>
        <translation>Sent %1</translation>
    </message>
    <message>
        <source>接收 %1</source>
        <translation>Received %1</translation>
    </message>
    <message>
        <source> 〔校验正确〕</source>
        <translation> [checksum right]</translation>
    </message>
    <message>
        <source> 〔校验错误，应为 %1〕</source>
        <translation> [checksum wrong, should be %1]</translation>
    </message>
    <message>
        <source>[跳过] </source>
        <translation>[skipped] </translation>
    </message>
    <message>
        <source> 跳过</source>
        <translation> skipped</translation>
    </message>
    <message>
        <source>正确</source>
        <translation>right</translation>
    </message>
    <message>
        <source>错误，应为 %1</source>
        <translation>wrong, should be %1</translation>
    </message>
</context>
<context>
    <name>Checksum</name>
    <message>
        <source>未知的校验 &quot;%1&quot;</source>
        <translation>unknown checksum &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;from&quot; 和 &quot;to&quot; 必须是整数</source>
        <translation>&quot;from&quot; and &quot;to&quot; must be whole numbers</translation>
    </message>
    <message>
        <source>&quot;byteOrder&quot; 必须是 &quot;big&quot; 或 &quot;little&quot;</source>
        <translation>&quot;byteOrder&quot; must be &quot;big&quot; or &quot;little&quot;</translation>
    </message>
    <message>
        <source>&quot;output&quot; 必须是 &quot;binary&quot; 或 &quot;hex&quot;</source>
        <translation>&quot;output&quot; must be &quot;binary&quot; or &quot;hex&quot;</translation>
    </message>
    <message>
        <source>自定义 CRC 的 &quot;width&quot; 必须是 1 到 64</source>
        <translation>a custom CRC's &quot;width&quot; must be 1 to 64</translation>
    </message>
    <message>
        <source>自定义 CRC 的 &quot;poly&quot;、&quot;init&quot; 和 &quot;xorout&quot; 必须在其宽度之内</source>
        <translation>a custom CRC's &quot;poly&quot;, &quot;init&quot; and &quot;xorout&quot; must fit its width</translation>
    </message>
</context>
<context>
    <name>CommPort</name>
    <message>
        <source>%1不支持 %2 个数据位</source>
        <translation>%1 does not support %2 data bits</translation>
    </message>
    <message>
        <source>%1无法设置停止位</source>
        <translation>%1 cannot set the stop bits</translation>
    </message>
    <message>
        <source>%1已经打开，不能更改端口号</source>
        <translation>%1 is open: its port number cannot change</translation>
    </message>
    <message>
        <source>握手方式 %1 无效：只能是 0 到 3</source>
        <translation>Handshaking %1 is invalid: only 0 to 3</translation>
    </message>
    <message>
        <source>接收阈值 %1 无效：不能为负数</source>
        <translation>Receive threshold %1 is invalid: it cannot be negative</translation>
    </message>
    <message>
        <source>输入模式 %1 无效：只能是 0（文本）或 1（二进制）</source>
        <translation>Input mode %1 is invalid: only 0 (text) or 1 (binary)</translation>
    </message>
    <message>
        <source>接收缓冲区计数只能设为 0</source>
        <translation>The receive buffer count can only be set to 0</translation>
    </message>
    <message>
        <source>发送缓冲区计数只能设为 0</source>
        <translation>The send buffer count can only be set to 0</translation>
    </message>
    <message>
        <source>发送数据只能是文本或字节数组</source>
        <translation>Data to send must be text or a byte array</translation>
    </message>
    <message>
        <source>%1发送数据失败：%2</source>
        <translation>%1 failed to send data: %2</translation>
    </message>
    <message>
        <source>%1发送数据失败：设备已断开</source>
        <translation>%1 failed to send data: the device is disconnected</translation>
    </message>
    <message>
        <source>%1已经被本程序打开</source>
        <translation>%1 is already open in this program</translation>
    </message>
    <message>
        <source>%1不存在：只能使用 Com %2 到 Com %3</source>
        <translation>%1 does not exist: only Com %2 to Com %3 can be used</translation>
    </message>
    <message>
        <source>%1（%2）不存在</source>
        <translation>%1 (%2) does not exist</translation>
    </message>
    <message>
        <source>%1已经打开，可能被其他应用程序占用</source>
        <translation>%1 is already open, perhaps by another application</translation>
    </message>
    <message>
        <source>没有权限打开%1：<byte value="xd"/>
%2<byte value="xd"/>
%3</source>
        <translation>No permission to open %1:<byte value="xd"/>
%2<byte value="xd"/>
%3</translation>
    </message>
    <message>
        <source>%1（%2）无法打开：%3</source>
        <translation>%1 (%2) cannot be opened: %3</translation>
    </message>
    <message>
        <source>%1只有在 5 个数据位时才能使用 1.5 个停止位</source>
        <translation>%1 can use 1.5 stop bits only with 5 data bits</translation>
    </message>
    <message>
        <source>%1不支持波特率 %2</source>
        <translation>%1 does not support the baud rate %2</translation>
    </message>
    <message>
        <source>%1不支持校验方式 %2</source>
        <translation>%1 does not support the parity %2</translation>
    </message>
    <message>
        <source>%1无法设置握手方式 %2</source>
        <translation>%1 cannot set the handshaking %2</translation>
    </message>
    <message>
        <source>%1尚未打开，不能进行此操作</source>
        <translation>%1 is not open: this cannot be done</translation>
    </message>
    <message>
        <source>端口Com %1</source>
        <translation>Port Com %1</translation>
    </message>
    <message>
        <source>%1的网络地址“%2”无效：应为 tcp://主机:端口 或 rfc2217://主机:端口</source>
        <translation>The network address “%2” of %1 is invalid: it must be tcp://host:port or rfc2217://host:port</translation>
    </message>
    <message>
        <source>请在“线路控制”中把 RS-485 改为“由程序切换”。</source>
        <translation>Set RS-485 to “By the program” in “Line Control”.</translation>
    </message>
    <message>
        <source>%1是网络线路，RFC 2217 没有 RS-485 控制：请在服务器端设置 RS-485，并在“线路控制”中把 RS-485 设为“关闭”。</source>
        <translation>%1 is a network line and RFC 2217 has no RS-485 control: set RS-485 up on the server and set RS-485 to “Off” in “Line Control”.</translation>
    </message>
    <message>
        <source>%1的驱动程序没有 RS-485 模式（USB 转换器和伪终端多半如此）。</source>
        <translation>The driver of %1 has no RS-485 mode (most USB adapters and pseudo-terminals have none). </translation>
    </message>
    <message>
        <source>%1的驱动程序拒绝了这组 RS-485 设置（有的驱动程序要求“发送时 RTS 为高”或“发送后 RTS 为高”之一，延时不超过 100 毫秒）。</source>
        <translation>The driver of %1 refused these RS-485 settings (some drivers need RTS high either while or after sending, and delays of at most 100 ms). </translation>
    </message>
    <message>
        <source>%1无法读取或设置驱动程序的 RS-485 模式。</source>
        <translation>The RS-485 mode of the driver of %1 cannot be read or set. </translation>
    </message>
    <message>
        <source>%1没有可由程序控制的 RTS 线，不能由程序切换收发方向。</source>
        <translation>%1 has no RTS line the program can switch, so the program cannot switch its direction.</translation>
    </message>
    <message>
        <source>%1发送数据失败：无法切换 RTS 或写入设备</source>
        <translation>Sending on %1 failed: RTS could not be switched or the device not written</translation>
    </message>
    <message>
        <source>%1的 RS-485 方向切换要用 RTS 线，不能同时使用 RTS/CTS 握手</source>
        <translation>RS-485 direction control of %1 needs the RTS line and cannot go with the RTS/CTS handshake</translation>
    </message>
</context>
<context>
    <name>CommandCodec</name>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>类型不匹配</source>
        <translation>Type mismatch</translation>
    </message>
    <message>
        <source>您不能设置空串命令！</source>
        <translation>You cannot set an empty command!</translation>
    </message>
    <message>
        <source>您输入的16进制数据命令长度为奇数不符合要求！</source>
        <translation>The hexadecimal command you typed has an odd length!</translation>
    </message>
    <message>
        <source>16进制数据命令的第 %1 个字符“%2”不是16进制数字！</source>
        <extracomment>%1 is the position of the character %2, counted from 1.</extracomment>
        <translation>Character %1 of the hexadecimal command, “%2”, is not a hexadecimal digit!</translation>
    </message>
    <message>
        <source>16进制数据命令的第 %1 个字符“%2”缺少另一位数字：每个字节须是两位相连的16进制数字！</source>
        <extracomment>%1 is the position of the digit %2, counted from 1.</extracomment>
        <translation>Character %1 of the hexadecimal command, “%2”, lacks its second digit: each byte is two adjacent hexadecimal digits!</translation>
    </message>
</context>
<context>
    <name>ComponentLoader</name>
    <message>
        <source>部件不能创建对象：%1（%2）</source>
        <translation>The component cannot create the object: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>DriverRs485</name>
    <message>
        <source>开</source>
        <translation>on</translation>
    </message>
    <message>
        <source>关</source>
        <translation>off</translation>
    </message>
    <message>
        <source>%1 毫秒</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>%1：设置为%2，实际为%3</source>
        <translation>%1: set to %2, holds %3</translation>
    </message>
    <message>
        <source>RS-485 模式</source>
        <translation>RS-485 mode</translation>
    </message>
    <message>
        <source>发送时 RTS 为高</source>
        <translation>RTS high while sending</translation>
    </message>
    <message>
        <source>发送后 RTS 为高</source>
        <translation>RTS high after sending</translation>
    </message>
    <message>
        <source>发送时接收</source>
        <translation>receiving while sending</translation>
    </message>
    <message>
        <source>发送前延时</source>
        <translation>delay before sending</translation>
    </message>
    <message>
        <source>发送后延时</source>
        <translation>delay after sending</translation>
    </message>
</context>
<context>
    <name>FileList</name>
    <message>
        <source>路径未找到：%1</source>
        <translation>Path not found: %1</translation>
    </message>
</context>
<context>
    <name>FormAbout</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>作    者：Velmora 开发组</source>
        <translation>Author:  the Velmora team</translation>
    </message>
    <message>
        <source>联系电话：</source>
        <translation>Phone: </translation>
    </message>
    <message>
        <source>电子信箱：</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>Version </translation>
    </message>
    <message>
        <source>请登陆我们的网站获取软件的最新版本及相关信息！</source>
        <translation>Visit our website for the latest version!</translation>
    </message>
    <message>
        <source>无法启动系统的邮件程序！<byte value="xd"/>
<byte value="xd"/>
请直接写信至：%1</source>
        <translation>The system&apos;s mail program cannot be started!<byte value="xd"/>
<byte value="xd"/>
Please write to: %1</translation>
    </message>
</context>
<context>
    <name>FormAsc</name>
    <message>
        <source>Ascii对照表</source>
        <translation>ASCII Table</translation>
    </message>
    <message>
        <source>Ascii编码对照表</source>
        <translation>ASCII Code Table</translation>
    </message>
    <message>
        <source>请检查“Ascii代码表”文件是否存在！</source>
        <translation>Please check that the file of the ASCII table exists!</translation>
    </message>
</context>
<context>
    <name>FormCommands</name>
    <message>
        <source>命令列表</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>格式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>行结束符</source>
        <translation>Line end</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>热键</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>启用</source>
        <translation>On</translation>
    </message>
    <message>
        <source>期望数据</source>
        <translation>Expected</translation>
    </message>
    <message>
        <source>应答数据</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>延时(ms)</source>
        <translation>Delay (ms)</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>16进制</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>按线路控制</source>
        <translation>As line window</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>命令%1</source>
        <translation>Command %1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
数据不是16进制字节对，未作更改！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The data is not hexadecimal byte pairs; nothing was changed!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
期望数据无效，未作更改！<byte value="xd"/>
<byte value="xd"/>
16进制中“??”代表任一字节，文本中“?”代表任一字符。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The expected data is not valid; nothing was changed!<byte value="xd"/>
<byte value="xd"/>
In hex &quot;??&quot; stands for any byte, in text &quot;?&quot; for any character.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
命令名称不能为空！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
A command needs a name!</translation>
    </message>
    <message>
        <source>命令列表 (*.json)</source>
        <translation>Command lists (*.json)</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
文件无法导入：%1<byte value="xd"/>
<byte value="xd"/>
第%2行：%3</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The file cannot be imported: %1<byte value="xd"/>
<byte value="xd"/>
Line %2: %3</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
文件无法写入：%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The file cannot be written: %1</translation>
    </message>
    <message>
        <source>单击“发送”或按热键发送一行，与主窗口的命令走同一路径</source>
        <translation>&quot;Send&quot; or a row&apos;s key sends it the way the main window sends its command</translation>
    </message>
    <message>
        <source>“接收通讯命令并发送数据”时，第一条匹配的规则应答</source>
        <translation>In the answer mode the first matching rule answers</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>应答规则</source>
        <translation>Answer rules</translation>
    </message>
    <message>
        <source>所选行的校验</source>
        <translation>Checksum of the selected row</translation>
    </message>
    <message>
        <source>算法：</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>从字节：</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>从0起计；负数从末尾计，-1为最后一个字节</source>
        <translation>Counted from 0; a negative byte counts from the end, -1 is the last</translation>
    </message>
    <message>
        <source>到字节：</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>高字节在前</source>
        <translation>High byte first</translation>
    </message>
    <message>
        <source>低字节在前</source>
        <translation>Low byte first</translation>
    </message>
    <message>
        <source>二进制</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>16进制文本</source>
        <translation>Hex text</translation>
    </message>
    <message>
        <source>宽度：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>输入反转</source>
        <translation>Reflect in</translation>
    </message>
    <message>
        <source>输出反转</source>
        <translation>Reflect out</translation>
    </message>
    <message>
        <source>多项式：</source>
        <translation>Poly:</translation>
    </message>
    <message>
        <source>初值：</source>
        <translation>Init:</translation>
    </message>
    <message>
        <source>结果异或：</source>
        <translation>XorOut:</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>检查接收数据的校验：</source>
        <translation>Check received frames:</translation>
    </message>
    <message>
        <source>每帧数据（按线路窗口的接收分帧，默认间隔超过25毫秒即为新的一帧）末尾的校验在显示区和记录中标为正确或错误</source>
        <translation>The checksum at the end of each frame (as the line window cuts frames; by default a gap over 25 ms starts a new one) is marked right or wrong in the pane and the capture</translation>
    </message>
    <message>
        <source>步骤</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>命令或期望数据</source>
        <translation>Command or expected data</translation>
    </message>
    <message>
        <source>毫秒或次数</source>
        <translation>ms or times</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Wait</translation>
    </message>
    <message>
        <source>等待应答</source>
        <translation>Wait for reply</translation>
    </message>
    <message>
        <source>重复开始</source>
        <translation>Repeat from</translation>
    </message>
    <message>
        <source>重复结束</source>
        <translation>Repeat to</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
没有名为“%1”的命令！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
No command is named &quot;%1&quot;!</translation>
    </message>
    <message>
        <source>遇到失败时停止</source>
        <translation>Stop at a failure</translation>
    </message>
    <message>
        <source>运行序列</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>序列</source>
        <translation>Sequence</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
</context>
<context>
    <name>FormLine</name>
    <message>
        <source>线路控制</source>
        <translation>Line Control</translation>
    </message>
    <message>
        <source>发送端口</source>
        <translation>Send port</translation>
    </message>
    <message>
        <source>接收端口</source>
        <translation>Receive port</translation>
    </message>
    <message>
        <source>收发端口</source>
        <translation>Send and receive port</translation>
    </message>
    <message>
        <source>发送端口（与接收端口相同）</source>
        <translation>Send port (the receive port)</translation>
    </message>
    <message>
        <source>端口未打开</source>
        <translation>Port not open</translation>
    </message>
    <message>
        <source>此设备没有调制解调器控制线</source>
        <translation>No modem control lines</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口Com %1不能发送中断信号！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Port Com %1 cannot send a break!</translation>
    </message>
    <message>
        <source>错误提示：请检查您的各项通讯参数设置是否正确！</source>
        <translation>Hint: please check that all your communication settings are right!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
界面语言无法保存！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The interface language cannot be saved!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>数据终端就绪</source>
        <translation>Data Terminal Ready</translation>
    </message>
    <message>
        <source>请求发送；RTS/CTS 握手时由驱动程序控制</source>
        <translation>Request To Send; the driver controls it with RTS/CTS handshaking</translation>
    </message>
    <message>
        <source>发送中断</source>
        <translation>Send Break</translation>
    </message>
    <message>
        <source>在线路上发送 %1 毫秒的中断信号</source>
        <translation>Sends a break of %1 ms on the line</translation>
    </message>
    <message>
        <source>自定义波特率：</source>
        <translation>Custom baud:</translation>
    </message>
    <message>
        <source>%1 到 %2；留空则使用主窗口列表中的波特率，下次开始通讯时生效</source>
        <translation>%1 to %2; empty uses the main window&apos;s baud rate; applies from the next start of communication</translation>
    </message>
    <message>
        <source>发送与显示</source>
        <translation>Send and display</translation>
    </message>
    <message>
        <source>行结束符：</source>
        <translation>Line end:</translation>
    </message>
    <message>
        <source>加在每条文本格式发送命令之后</source>
        <translation>Added after every command sent as text</translation>
    </message>
    <message>
        <source>接收数据加时间戳</source>
        <translation>Time-stamp received data</translation>
    </message>
    <message>
        <source>16进制数据以空格分隔</source>
        <translation>Spaces between hex pairs</translation>
    </message>
    <message>
        <source>界面语言：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>下次启动程序时生效</source>
        <translation>Applies at the next start</translation>
    </message>
</context>
<context>
    <name>FormLinkTest</name>
    <message>
        <source>线路测试</source>
        <translation>Link Test</translation>
    </message>
    <message>
        <source>开始测试</source>
        <translation>Start Test</translation>
    </message>
    <message>
        <source>停止测试</source>
        <translation>Stop Test</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
通讯正在进行，端口已被占用！<byte value="xd"/>
<byte value="xd"/>
请先停止通讯，再开始线路测试。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Communication is running and holds the ports!<byte value="xd"/>
<byte value="xd"/>
Please stop communication before starting the link test.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
线路测试需要 8 个数据位！<byte value="xd"/>
<byte value="xd"/>
请在主窗口中选择 8 个数据位。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The link test needs 8 data bits!<byte value="xd"/>
<byte value="xd"/>
Please choose 8 data bits in the main window.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
发送端口与接收端口相同，两边的通讯参数必须一致！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The send and receive ports are one port: both sides need the same settings!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
测试数量必须是大于 0 的整数！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The amount must be a whole number above 0!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
误码率上限必须是 0 到 1 之间的数！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The bit error rate limit must be a number from 0 to 1!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
自定义图案不能为空，16进制格式时须为成对的16进制数字！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The custom pattern cannot be empty, and in hexadecimal it must be pairs of hex digits!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
线路测试无法打开端口！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The link test cannot open the ports!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
测试中线路断开，测试已结束，结果为断开前的部分结果。<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The line was lost during the test; the test ended, and its result covers the time before the loss.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>测试中…</source>
        <translation>Testing…</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
报告无法保存！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The report cannot be saved!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>用主窗口的发送端口与接收端口及其参数进行测试</source>
        <translation>Test with the main window&apos;s send and receive ports and their settings</translation>
    </message>
    <message>
        <source>保存报告</source>
        <translation>Save Report</translation>
    </message>
    <message>
        <source>把测试结果保存为文本报告</source>
        <translation>Save the result as a text report</translation>
    </message>
    <message>
        <source>测试设置</source>
        <translation>Test settings</translation>
    </message>
    <message>
        <source>图案：</source>
        <translation>Pattern:</translation>
    </message>
    <message>
        <source>形式：</source>
        <translation>Form:</translation>
    </message>
    <message>
        <source>分块（块号+CRC）</source>
        <translation>Blocks (number+CRC)</translation>
    </message>
    <message>
        <source>原始</source>
        <translation>Raw</translation>
    </message>
    <message>
        <source>方向：</source>
        <translation>Direction:</translation>
    </message>
    <message>
        <source>单向</source>
        <translation>One way</translation>
    </message>
    <message>
        <source>双向</source>
        <translation>Both ways</translation>
    </message>
    <message>
        <source>数量：</source>
        <translation>Amount:</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>直到停止</source>
        <translation>until stopped</translation>
    </message>
    <message>
        <source>速度：</source>
        <translation>Pace:</translation>
    </message>
    <message>
        <source>线路最快</source>
        <translation>Line&apos;s fastest</translation>
    </message>
    <message>
        <source>按线路字符速率的百分比发送</source>
        <translation>Send at a share of the line&apos;s character rate</translation>
    </message>
    <message>
        <source>块长：</source>
        <translation>Block:</translation>
    </message>
    <message>
        <source>每块的数据字节数（分块形式）</source>
        <translation>Payload bytes per block (block form)</translation>
    </message>
    <message>
        <source>自定义：</source>
        <translation>Custom:</translation>
    </message>
    <message>
        <source>自定义图案，按主窗口选择的文本或16进制格式输入，重复发送</source>
        <translation>Your own pattern, as text or hexadecimal as the main window&apos;s format says, sent repeatedly</translation>
    </message>
    <message>
        <source>误码率上限：</source>
        <translation>BER limit:</translation>
    </message>
    <message>
        <source>测试结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>发送端口：Com %1 %2    接收端口：Com %3 %4</source>
        <translation>Send port: Com %1 %2    Receive port: Com %3 %4</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
线路测试的设置无法保存，只在本次运行中有效！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The link test settings cannot be saved; they hold for this run only!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>FormLogo</name>
    <message>
        <source>登陆界面</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>信箱：</source>
        <translation>Mail: </translation>
    </message>
    <message>
        <source>错误提示：程序主窗口无法打开！</source>
        <translation>Hint: the program&apos;s main window cannot be opened!</translation>
    </message>
</context>
<context>
    <name>FormMain</name>
    <message>
        <source>Ascii 编码 格式</source>
        <translation>ASCII text</translation>
    </message>
    <message>
        <source>16进制编码 格式</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>线路控制</source>
        <translation>Line Control</translation>
    </message>
    <message>
        <source>通讯参数设置</source>
        <translation>Communication settings</translation>
    </message>
    <message>
        <source>数据发送串口号</source>
        <translation>The serial port that sends</translation>
    </message>
    <message>
        <source>数据接收串口号</source>
        <translation>The serial port that receives</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud:</translation>
    </message>
    <message>
        <source>通讯波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验位：</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>通讯奇偶校验值</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>数据位：</source>
        <translation>Data:</translation>
    </message>
    <message>
        <source>通讯数据位值</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>停止位：</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <source>通讯停止位值</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>硬件握手协议：</source>
        <translation>Handshake:</translation>
    </message>
    <message>
        <source>数据收发方式：</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>数据通讯收发方式</source>
        <translation>How data is sent and received</translation>
    </message>
    <message>
        <source>通讯数据格式：</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>数据显示格式</source>
        <translation>Format of commands and data shown</translation>
    </message>
    <message>
        <source>自动连续收发数据</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>周期：</source>
        <translation>Every</translation>
    </message>
    <message>
        <source>连续发送周期</source>
        <translation>Period of repeated sending</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>自动保存通讯数据</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>串口数据通讯</source>
        <translation>Serial communication</translation>
    </message>
    <message>
        <source>发送的数据通讯命令：</source>
        <translation>Command to send:</translation>
    </message>
    <message>
        <source>接收的数据通讯命令：</source>
        <translation>Command to await:</translation>
    </message>
    <message>
        <source>数据发送显示区：</source>
        <translation>Data sent:</translation>
    </message>
    <message>
        <source>数据接收显示区：</source>
        <translation>Data received:</translation>
    </message>
    <message>
        <source>通讯操作</source>
        <translation>Start or stop communication</translation>
    </message>
    <message>
        <source>清空信息</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清除数据信息</source>
        <translation>Clear the data shown</translation>
    </message>
    <message>
        <source>扫描端口</source>
        <translation>Scan Ports</translation>
    </message>
    <message>
        <source>扫描系统可用端口</source>
        <translation>Scan the system&apos;s ports</translation>
    </message>
    <message>
        <source>查看数据</source>
        <translation>View Data</translation>
    </message>
    <message>
        <source>查看自动保存的通讯数据</source>
        <translation>View the saved communication data</translation>
    </message>
    <message>
        <source>数据计算</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>调用系统&quot;计算器&quot;进行&quot;校验和&quot;等数据计算</source>
        <translation>Open the system &quot;Calculator&quot; for checksums and other arithmetic</translation>
    </message>
    <message>
        <source>Ascii 表</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>查看Ascii对照表</source>
        <translation>View the ASCII table</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>查看使用说明</source>
        <translation>View the usage notes</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>退出软件系统</source>
        <translation>Exit the program</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
线路控制设置文件无法写入，这些设置只在本次运行中有效！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The line control settings file cannot be written; these settings hold for this run only!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>开始通讯</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止通讯</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>数据发送端口：</source>
        <translation>Send port: </translation>
    </message>
    <message>
        <source>数据接收端口：</source>
        <translation>Receive port: </translation>
    </message>
    <message>
        <source>文件名：</source>
        <translation>File: </translation>
    </message>
    <message>
        <source>系统暂无可用端口！</source>
        <translation>No port available!</translation>
    </message>
    <message>
        <source>%1（设备不存在）</source>
        <translation>%1 (device missing)</translation>
    </message>
    <message>
        <source>单独发送通讯命令</source>
        <translation>Send command only</translation>
    </message>
    <message>
        <source>发送通讯命令并接收数据</source>
        <translation>Send and receive</translation>
    </message>
    <message>
        <source>单独接收通讯数据</source>
        <translation>Receive only</translation>
    </message>
    <message>
        <source>接收通讯命令并发送数据</source>
        <translation>Answer a command</translation>
    </message>
    <message>
        <source>错误提示：请检查您的各项通讯参数设置是否正确！</source>
        <translation>Hint: please check that all your communication settings are right!</translation>
    </message>
    <message>
        <source>错误提示：请检查您输入的发送数据格式是否符合要求！</source>
        <translation>Hint: please check the format of the command to send!</translation>
    </message>
    <message>
        <source>错误提示：请检查您输入的接收数据格式是否符合要求！</source>
        <translation>Hint: please check the format of the command to await!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
您设置的端口Com %1已经打开！<byte value="xd"/>
<byte value="xd"/>
可能是被其他应用程序占用！<byte value="xd"/>
<byte value="xd"/>
请退出占用端口的程序后再使用此端口。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port Com %1 you chose is already open!<byte value="xd"/>
<byte value="xd"/>
Another application may be using it!<byte value="xd"/>
<byte value="xd"/>
Please quit the program holding the port, then use it again.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
您设置的端口Com %1不存在！<byte value="xd"/>
<byte value="xd"/>
请选择其他的通讯端口。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port Com %1 you chose does not exist!<byte value="xd"/>
<byte value="xd"/>
Please choose another port.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
系统暂无可用端口！<byte value="xd"/>
<byte value="xd"/>
请连接设备后点击“扫描端口”。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
No port is available!<byte value="xd"/>
<byte value="xd"/>
Please connect a device, then click &quot;Scan Ports&quot;.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
您设置的端口Com %1已经断开，通讯已经停止！<byte value="xd"/>
<byte value="xd"/>
请检查设备的连接，然后重新开始通讯。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port Com %1 you chose is gone; communication has stopped!<byte value="xd"/>
<byte value="xd"/>
Please check the device&apos;s connection, then start communication again.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口Com %1的线路发送速度跟不上发送周期，尚未发出的数据已超过 256 KB！<byte value="xd"/>
<byte value="xd"/>
在线路发完这些数据之前，新的发送将被跳过；通讯继续进行。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The line of port Com %1 cannot keep up with the send period: more than 256 KB of data wait to be sent!<byte value="xd"/>
<byte value="xd"/>
Until the line has sent them, new sends are skipped; communication goes on.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
您采用相同的收发端口，请将其参数设置相同！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
You send and receive on one port: please give both sides the same settings!</translation>
    </message>
    <message>
        <source>系统的“计算器”程序不存在！，此功能无法运行。</source>
        <translation>The system&apos;s &quot;Calculator&quot; program does not exist; this function cannot run.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
设置文件无法写入，本次的各项设置未能保存！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The settings file cannot be written; this run&apos;s settings were not saved!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Velmora 串口通讯测试工作台    Ormel 出品    欢迎使用！</source>
        <translation>Velmora serial link workbench    made by Ormel    welcome!</translation>
    </message>
    <message>
        <source>端口映射</source>
        <translation>Port Map</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口映射设置文件无法写入，这些设置只在本次运行中有效！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port map settings cannot be written; these settings hold for this run only!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
您设置的端口Com %1已经断开，通讯已经停止！<byte value="xd"/>
<byte value="xd"/>
设备重新连接后，通讯将以相同的设置自动重新开始。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port Com %1 you chose is gone; communication has stopped!<byte value="xd"/>
<byte value="xd"/>
Communication starts again with the same settings when the device is back.</translation>
    </message>
    <message>
        <source>正在连接…</source>
        <translation>Connecting…</translation>
    </message>
    <message>
        <source>线路测试</source>
        <translation>Link Test</translation>
    </message>
    <message>
        <source>命令列表</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
线路测试正在进行，端口已被占用！<byte value="xd"/>
<byte value="xd"/>
请先停止线路测试，再开始通讯。</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
A link test is running and holds the ports!<byte value="xd"/>
<byte value="xd"/>
Please stop the link test before starting communication.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
命令列表文件无法读取，保留原样：%1<byte value="xd"/>
<byte value="xd"/>
第%2行：%3</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The command list file cannot be read and was left as it is: %1<byte value="xd"/>
<byte value="xd"/>
Line %2: %3</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
命令列表文件未保存，保留原样，更改只在本次运行中有效！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The command list file was not saved and was left as it is; changes hold for this run only!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>序列：通过 %1 步，失败 %2 步</source>
        <translation>Sequence: %1 steps passed, %2 failed</translation>
    </message>
    <message>
        <source>序列：通过 %1 步，失败 %2 步，未运行完</source>
        <translation>Sequence: %1 steps passed, %2 failed, not finished</translation>
    </message>
    <message>
        <source>双向监听</source>
        <translation>Monitor both ports</translation>
    </message>
</context>
<context>
    <name>FormMessage</name>
    <message>
        <source>信息提示</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>操作提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>FormMonitor</name>
    <message>
        <source>双向监听</source>
        <translation>Monitor both ports</translation>
    </message>
    <message>
        <source>开始监听</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止监听</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
请先停止通讯，再开始监听！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Stop communication before monitoring!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
监听需要两个不同的端口：发送端口和接收端口！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Monitoring needs two different ports: the sending and the receiving port!</translation>
    </message>
    <message>
        <source>错误提示：请检查两个端口的通讯参数设置是否正确！</source>
        <translation>Hint: check the settings of both ports!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口Com %1的设备已断开，监听已停止！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The device of port Com %1 went away; monitoring stopped!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
无法写入文件：<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Cannot write the file:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
无法读取文件：<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Cannot read the file:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
捕获文件超过 %1 MB，无法导出！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The capture file is larger than %1 MB and cannot be exported!</translation>
    </message>
    <message>
        <source>16进制显示</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>两个端口都只接收，不发送任何数据</source>
        <translation>Both ports only receive; nothing is sent</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清空显示和待导出的记录</source>
        <translation>Clears the view and the records to export</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>时间、端口、16进制、文本，UTF-8 编码</source>
        <translation>Time, port, hex, text; UTF-8</translation>
    </message>
    <message>
        <source>捕获文件转 CSV</source>
        <translation>Capture to CSV</translation>
    </message>
    <message>
        <source>把一个捕获文件导出为 CSV：时间、方向、16进制、文本</source>
        <translation>Exports a capture file as CSV: time, direction, hex, text</translation>
    </message>
    <message>
        <source>A：Com %1（%2）    B：Com %3（%4）</source>
        <translation>A: Com %1 (%2)    B: Com %3 (%4)</translation>
    </message>
    <message>
        <source>捕获文件 (*.txt)</source>
        <translation>Capture files (*.txt)</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
</context>
<context>
    <name>FormPortMap</name>
    <message>
        <source>端口映射</source>
        <translation>Port Map</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>稳定名称</source>
        <translation>Stable name</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>制造商</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>USB VID:PID</source>
        <translation>USB VID:PID</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>内置默认</source>
        <translation>Built-in</translation>
    </message>
    <message>
        <source>未映射</source>
        <translation>Not mapped</translation>
    </message>
    <message>
        <source>存在</source>
        <translation>Present</translation>
    </message>
    <message>
        <source>不存在</source>
        <translation>Missing</translation>
    </message>
    <message>
        <source>远程线路</source>
        <translation>Remote</translation>
    </message>
    <message>
        <source>设备路径（建议使用稳定名称），或 tcp://主机:端口、rfc2217://主机:端口</source>
        <translation>A device path (a stable name is best), or tcp://host:port, rfc2217://host:port</translation>
    </message>
    <message>
        <source>映射文件：</source>
        <translation>Map file: </translation>
    </message>
    <message>
        <source>本系统按端口号直接使用 COM 端口，无需映射。</source>
        <translation>This system uses the COM ports by their numbers; no mapping is needed.</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
请输入或选择要映射的设备！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Please type or pick the device to map!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
设备名称不能含有换行，也不能在空格之后含有“#”或“;”（其后的内容将被视为注释）！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
A device name may hold no line break, and no &quot;#&quot; or &quot;;&quot; after a blank (what follows would be read as a comment)!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口Com %1在端口映射文件中没有映射！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Port Com %1 has no mapping in the port map file!</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口映射文件无法读取，映射未作更改！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port map file cannot be read; the mapping is unchanged!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口映射文件无法写入，映射未作更改！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port map file cannot be written; the mapping is unchanged!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>设备断开后重新连接时，自动重新开始通讯</source>
        <translation>Start communication again when a lost device comes back</translation>
    </message>
    <message>
        <source>以相同的设置重新开始因设备断开而停止的通讯</source>
        <translation>Restarts, with the same settings, communication that stopped because its device went away</translation>
    </message>
    <message>
        <source>系统串口设备</source>
        <translation>Serial devices of the system</translation>
    </message>
    <message>
        <source>选择一个设备，将其映射到下面选定的端口</source>
        <translation>Pick a device to map it to the port chosen below</translation>
    </message>
    <message>
        <source>端口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>设备：</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>映射</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>将设备映射到选定的端口</source>
        <translation>Maps the device to the chosen port</translation>
    </message>
    <message>
        <source>删除映射</source>
        <translation>Unmap</translation>
    </message>
    <message>
        <source>删除选定端口在端口映射文件中的映射</source>
        <translation>Removes the chosen port&apos;s mapping from the port map file</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口映射文件是符号链接，映射未作更改！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port map file is a symbolic link; the mapping is unchanged!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
端口映射文件已设为只读，映射未作更改！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The port map file is read-only; the mapping is unchanged!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>FormReadme</name>
    <message>
        <source>使用说明</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>软件使用说明</source>
        <translation>Usage Notes</translation>
    </message>
    <message>
        <source>请检查“readme”文件是否存在！</source>
        <translation>Please check that the &quot;readme&quot; file exists!</translation>
    </message>
</context>
<context>
    <name>FormViewInfo</name>
    <message>
        <source>查看通讯数据</source>
        <translation>View Communication Data</translation>
    </message>
    <message>
        <source>请检查文件是否存在！</source>
        <translation>Please check that the file exists!</translation>
    </message>
    <message>
        <source>退出查询</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>通讯数据文件列表：</source>
        <translation>Data files:</translation>
    </message>
</context>
<context>
    <name>FrameRuleBox</name>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
请输入 1 到 %1 个16进制字节，如 0D 0A！</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
Enter 1 to %1 hexadecimal bytes, such as 0D 0A!</translation>
    </message>
    <message>
        <source>接收分帧</source>
        <translation>Received frames</translation>
    </message>
    <message>
        <source>方式：</source>
        <translation>Cut:</translation>
    </message>
    <message>
        <source>25 毫秒间隔（默认）</source>
        <translation>25 ms gap (default)</translation>
    </message>
    <message>
        <source>间隔（毫秒）</source>
        <translation>Gap in ms</translation>
    </message>
    <message>
        <source>间隔（字符时间）</source>
        <translation>Gap in characters</translation>
    </message>
    <message>
        <source>结束字节</source>
        <translation>End bytes</translation>
    </message>
    <message>
        <source>固定长度</source>
        <translation>Fixed length</translation>
    </message>
    <message>
        <source>帧头加长度字段</source>
        <translation>Header + length</translation>
    </message>
    <message>
        <source>间隔：</source>
        <translation>Gap:</translation>
    </message>
    <message>
        <source>结束字节：</source>
        <translation>End:</translation>
    </message>
    <message>
        <source>16进制字节，如 0D 0A 或 7E；结束字节留在帧内</source>
        <translation>Hexadecimal bytes such as 0D 0A or 7E; they stay in the frame</translation>
    </message>
    <message>
        <source>帧头：</source>
        <translation>Head:</translation>
    </message>
    <message>
        <source>每帧开头的16进制字节；固定长度时可以留空</source>
        <translation>Hexadecimal bytes every frame starts with; may be empty for a fixed length</translation>
    </message>
    <message>
        <source>帧长：</source>
        <translation>Len:</translation>
    </message>
    <message>
        <source>长度字段：</source>
        <translation>Field:</translation>
    </message>
    <message>
        <source>长度字段的位置：从帧的第一个字节（0）数起</source>
        <translation>Where the length field starts, counted from the frame's first byte (0)</translation>
    </message>
    <message>
        <source>长度字段的字节数</source>
        <translation>Bytes of the length field</translation>
    </message>
    <message>
        <source>小端</source>
        <translation>LE</translation>
    </message>
    <message>
        <source>大端</source>
        <translation>BE</translation>
    </message>
    <message>
        <source>小端：低位字节在前；大端：高位字节在前</source>
        <translation>LE: low byte first; BE: high byte first</translation>
    </message>
    <message>
        <source>帧长 = 长度字段的值 + 此数</source>
        <translation>Frame length = the field's value + this</translation>
    </message>
    <message>
        <source>最大帧长：</source>
        <translation>Max:</translation>
    </message>
    <message>
        <source>更长的帧在此截断；更大的长度字段被拒绝并跳过</source>
        <translation>Longer frames are cut here; a larger length field is refused and skipped</translation>
    </message>
    <message>
        <source>时间戳后显示帧间隔</source>
        <translation>Show the gap after the stamp</translation>
    </message>
    <message>
        <source>字符</source>
        <translation>chars</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>HelpButton</name>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>LargeFileView</name>
    <message>
        <source>查找：</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>向上查找（Shift+F3）</source>
        <translation>Find upwards (Shift+F3)</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>向下查找（F3 或 Enter）</source>
        <translation>Find downwards (F3 or Enter)</translation>
    </message>
    <message>
        <source>时间：</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>hh:mm:ss，或 mm-dd-yyyy hh:mm:ss</source>
        <translation>hh:mm:ss, or mm-dd-yyyy hh:mm:ss</translation>
    </message>
    <message>
        <source>跳转</source>
        <translation>Go to</translation>
    </message>
    <message>
        <source>跳到这一时刻或其后的第一条记录（Enter）</source>
        <translation>Go to the first record at this moment or later (Enter)</translation>
    </message>
    <message>
        <source>请按 hh:mm:ss 或 mm-dd-yyyy hh:mm:ss 输入时间</source>
        <translation>Type the time as hh:mm:ss or mm-dd-yyyy hh:mm:ss</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>向下未找到“%1”</source>
        <translation>“%1” not found below</translation>
    </message>
    <message>
        <source>向上未找到“%1”</source>
        <translation>“%1” not found above</translation>
    </message>
    <message>
        <source>没有 %1 或更晚的记录</source>
        <translation>No record at %1 or later</translation>
    </message>
    <message>
        <source>正在建立行索引… %1%</source>
        <translation>Indexing lines… %1%</translation>
    </message>
    <message>
        <source>正在查找… %1%（Esc 停止）</source>
        <translation>Finding… %1% (Esc stops)</translation>
    </message>
    <message>
        <source>正在查找时间… %1%（Esc 停止）</source>
        <translation>Finding the time… %1% (Esc stops)</translation>
    </message>
    <message>
        <source>共 %1 行</source>
        <translation>%1 lines</translation>
    </message>
    <message>
        <source>第 %1 行</source>
        <translation>Line %1</translation>
    </message>
    <message>
        <source>最多可复制 %1 行，请少选一些</source>
        <translation>At most %1 lines can be copied; select fewer</translation>
    </message>
    <message>
        <source>已复制 %1 行</source>
        <translation>%1 lines copied</translation>
    </message>
</context>
<context>
    <name>LineOptions</name>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>自定义波特率只能由数字组成！</source>
        <translation>A custom baud rate may contain digits only!</translation>
    </message>
    <message>
        <source>自定义波特率必须在 %1 到 %2 之间！</source>
        <translation>A custom baud rate must lie between %1 and %2!</translation>
    </message>
</context>
<context>
    <name>LineSettings</name>
    <message>
        <source>端口参数设置“%1”无效：%2</source>
        <translation>The port settings &quot;%1&quot; are invalid: %2</translation>
    </message>
    <message>
        <source>校验位只能是 N、E、O、M 或 S</source>
        <translation>the parity can only be N, E, O, M or S</translation>
    </message>
    <message>
        <source>停止位只能是 1、1.5 或 2</source>
        <translation>the stop bits can only be 1, 1.5 or 2</translation>
    </message>
    <message>
        <source>应为“波特率,校验位,数据位,停止位”</source>
        <translation>expected &quot;baud,parity,data bits,stop bits&quot;</translation>
    </message>
    <message>
        <source>波特率必须是正整数</source>
        <translation>the baud rate must be a positive whole number</translation>
    </message>
    <message>
        <source>数据位只能是 4 到 8</source>
        <translation>the data bits can only be 4 to 8</translation>
    </message>
</context>
<context>
    <name>LinkReport</name>
    <message>
        <source>Com %1 → Com %2</source>
        <translation>Com %1 → Com %2</translation>
    </message>
    <message>
        <source>  发送字节：%1    接收字节：%2</source>
        <translation>  Bytes sent: %1    received: %2</translation>
    </message>
    <message>
        <source>  比较位数：%1    误码位数：%2</source>
        <translation>  Bits compared: %1    bit errors: %2</translation>
    </message>
    <message>
        <source>  误码率：%1</source>
        <translation>  Bit error rate: %1</translation>
    </message>
    <message>
        <source>  误码率：0（95%置信上限 %1）</source>
        <translation>  Bit error rate: 0 (95% upper bound %1)</translation>
    </message>
    <message>
        <source>  错误字节：%1    丢失字节：%2    多余字节：%3</source>
        <translation>  Bytes in error: %1    lost: %2    inserted: %3</translation>
    </message>
    <message>
        <source>  数据块：完好 %1，丢失 %2，损坏 %3，重复 %4</source>
        <translation>  Blocks: good %1, lost %2, corrupted %3, duplicated %4</translation>
    </message>
    <message>
        <source>  失步次数：%1    未对齐字节：%2</source>
        <translation>  Sync losses: %1    unaligned bytes: %2</translation>
    </message>
    <message>
        <source>  线路错误：帧 %1，校验 %2，溢出 %3，中断 %4</source>
        <translation>  Line errors: framing %1, parity %2, overrun %3, break %4</translation>
    </message>
    <message>
        <source>  吞吐量：%1 字节/秒，理论 %2 字节/秒（%3%）</source>
        <translation>  Throughput: %1 bytes/s of a theoretical %2 bytes/s (%3%)</translation>
    </message>
    <message>
        <source>  吞吐量：%1 字节/秒（此线路没有波特率，无理论值）</source>
        <translation>  Throughput: %1 bytes/s (this line has no baud rate, so no theoretical rate)</translation>
    </message>
    <message>
        <source>  往返延迟：最小 %1，中位 %2，p99 %3，最大 %4</source>
        <translation>  Round trip: min %1, median %2, p99 %3, max %4</translation>
    </message>
    <message>
        <source>用时：%1 秒</source>
        <translation>Elapsed: %1 s</translation>
    </message>
    <message>
        <source>测试因线路断开而结束：%1</source>
        <translation>The test ended on a lost line: %1</translation>
    </message>
    <message>
        <source>测试被提前停止，以上为停止前的结果。</source>
        <translation>The test was stopped early; the figures are those up to the stop.</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>PASS</translation>
    </message>
    <message>
        <source>未通过</source>
        <translation>FAIL</translation>
    </message>
    <message>
        <source>线路测试报告</source>
        <translation>Link test report</translation>
    </message>
    <message>
        <source>开始：%1</source>
        <translation>Started: %1</translation>
    </message>
    <message>
        <source>结束：%1</source>
        <translation>Ended: %1</translation>
    </message>
    <message>
        <source>发送端口：Com %1 %2</source>
        <translation>Send port: Com %1 %2</translation>
    </message>
    <message>
        <source>接收端口：Com %1 %2</source>
        <translation>Receive port: Com %1 %2</translation>
    </message>
    <message>
        <source>测试图案：%1</source>
        <translation>Pattern: %1</translation>
    </message>
    <message>
        <source>形式：分块（块号与 CRC），每块 %1 字节</source>
        <translation>Form: blocks (number and CRC), %1 payload bytes each</translation>
    </message>
    <message>
        <source>形式：原始</source>
        <translation>Form: raw</translation>
    </message>
    <message>
        <source>方向：双向</source>
        <translation>Direction: both ways</translation>
    </message>
    <message>
        <source>方向：单向</source>
        <translation>Direction: one way</translation>
    </message>
    <message>
        <source>误码率上限：%1</source>
        <translation>Bit error rate limit: %1</translation>
    </message>
    <message>
        <source>结论：%1</source>
        <translation>Verdict: %1</translation>
    </message>
</context>
<context>
    <name>LinkRunner</name>
    <message>
        <source>端口Com %1的设备已断开</source>
        <translation>The device of port Com %1 is gone</translation>
    </message>
</context>
<context>
    <name>MakerInfo</name>
    <message>
        <source>版权所有 (C) 2002-2004 Ormel 工作室</source>
        <translation>Copyright (C) 2002-2004 Ormel Studio</translation>
    </message>
</context>
<context>
    <name>ModuleFun</name>
    <message>
        <source>《Velmora》<byte value="xd"/>
<byte value="xd"/>
已经运行！</source>
        <translation>Velmora<byte value="xd"/>
<byte value="xd"/>
is already running!</translation>
    </message>
    <message>
        <source>错误代号：%1<byte value="xd"/>
<byte value="xd"/>
错误信息：%2<byte value="xd"/>
<byte value="xd"/>
%3</source>
        <translation>Error number: %1<byte value="xd"/>
<byte value="xd"/>
Error message: %2<byte value="xd"/>
<byte value="xd"/>
%3</translation>
    </message>
</context>
<context>
    <name>PortMap</name>
    <message>
        <source>%1：无法识别的行，已忽略：%2</source>
        <translation>%1: line not understood, ignored: %2</translation>
    </message>
</context>
<context>
    <name>PortMonitor</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>16进制</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Check</translation>
    </message>
    <message>
        <source> 跳过</source>
        <translation> skipped</translation>
    </message>
</context>
<context>
    <name>ProtocolFile</name>
    <message>
        <source>&quot;checksum&quot; 必须是对象</source>
        <translation>&quot;checksum&quot; must be an object</translation>
    </message>
    <message>
        <source>命令缺少 &quot;name&quot;</source>
        <translation>a command needs a &quot;name&quot;</translation>
    </message>
    <message>
        <source>&quot;format&quot; 必须是 &quot;text&quot; 或 &quot;hex&quot;</source>
        <translation>&quot;format&quot; must be &quot;text&quot; or &quot;hex&quot;</translation>
    </message>
    <message>
        <source>&quot;data&quot; 不是16进制字节对</source>
        <translation>&quot;data&quot; is no hexadecimal byte pairs</translation>
    </message>
    <message>
        <source>&quot;lineEnding&quot; 必须是 window、none、cr、lf 或 crlf</source>
        <translation>&quot;lineEnding&quot; must be window, none, cr, lf or crlf</translation>
    </message>
    <message>
        <source>&quot;hotkey&quot; 必须是 F1 到 F12</source>
        <translation>&quot;hotkey&quot; must be F1 to F12</translation>
    </message>
    <message>
        <source>格式必须是 &quot;text&quot; 或 &quot;hex&quot;</source>
        <translation>a format must be &quot;text&quot; or &quot;hex&quot;</translation>
    </message>
    <message>
        <source>&quot;answer&quot; 不是16进制字节对</source>
        <translation>&quot;answer&quot; is no hexadecimal byte pairs</translation>
    </message>
    <message>
        <source>&quot;delayMs&quot; 必须是 0 到 %1</source>
        <translation>&quot;delayMs&quot; must be 0 to %1</translation>
    </message>
    <message>
        <source>&quot;step&quot; 必须是 send、wait、expect、repeat 或 end</source>
        <translation>&quot;step&quot; must be send, wait, expect, repeat or end</translation>
    </message>
    <message>
        <source>&quot;ms&quot; 必须是 0 到 %1</source>
        <translation>&quot;ms&quot; must be 0 to %1</translation>
    </message>
    <message>
        <source>格式错误</source>
        <translation>bad format</translation>
    </message>
    <message>
        <source>&quot;times&quot; 必须是 1 到 %1</source>
        <translation>&quot;times&quot; must be 1 to %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 必须是列表</source>
        <translation>&quot;%1&quot; must be a list</translation>
    </message>
    <message>
        <source>%1 第%2项：%3</source>
        <translation>%1 item %2: %3</translation>
    </message>
    <message>
        <source>不是对象</source>
        <translation>not an object</translation>
    </message>
    <message>
        <source>不是 Velmora 命令列表（缺少 &quot;format&quot;: &quot;%1&quot;）</source>
        <translation>not a Velmora command list (&quot;format&quot;: &quot;%1&quot; missing)</translation>
    </message>
    <message>
        <source>本程序不能读取版本 %1</source>
        <translation>version %1 is not one this program reads</translation>
    </message>
    <message>
        <source>sequence：每个 &quot;repeat&quot; 都需要对应的 &quot;end&quot;</source>
        <translation>sequence: every &quot;repeat&quot; needs its &quot;end&quot;</translation>
    </message>
    <message>
        <source>序列缺少 &quot;name&quot;</source>
        <translation>a sequence needs a &quot;name&quot;</translation>
    </message>
    <message>
        <source>序列名称 &quot;%1&quot; 已用过</source>
        <translation>the sequence name &quot;%1&quot; is taken</translation>
    </message>
</context>
<context>
    <name>RemoteLine</name>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1不存在：无法连接到服务器：%2</source>
        <translation>%1 does not exist: cannot connect to the server: %2</translation>
    </message>
    <message>
        <source>%1的服务器不接受 RFC 2217 串口选项，无法设置线路参数；只传数据请用 tcp://</source>
        <translation>The server of %1 does not take the RFC 2217 COM port option, so the line settings cannot be set; for data only use tcp://</translation>
    </message>
    <message>
        <source>%1发送数据失败：与服务器的连接已断开</source>
        <translation>%1 could not send: the connection to the server is lost</translation>
    </message>
    <message>
        <source>%1（%2）的服务器没有应答 DTR、RTS 和中断信号的设置，这条线路上它们不可用。</source>
        <translation>The server of %1 (%2) does not answer settings of DTR, RTS and break: they are not available on this line.</translation>
    </message>
    <message>
        <source>服务器拒绝连接</source>
        <translation>the server refused the connection</translation>
    </message>
    <message>
        <source>找不到主机 %1</source>
        <translation>host %1 not found</translation>
    </message>
    <message>
        <source>服务器断开了连接</source>
        <translation>the server closed the connection</translation>
    </message>
    <message>
        <source>%1 秒内没有建立连接</source>
        <translation>no connection within %1 seconds</translation>
    </message>
    <message>
        <source>%1的连接已经取消</source>
        <translation>the connection of %1 was called off</translation>
    </message>
    <message>
        <source>服务器没有回应，网络可能已经中断</source>
        <translation>the server does not respond; the network path may be down</translation>
    </message>
    <message>
        <source>%1不存在：%2</source>
        <translation>%1 does not exist: %2</translation>
    </message>
    <message>
        <source>它不读取协议应答，未读的已超过 %1 KB</source>
        <translation>it does not read the protocol replies, and more than %1 KB of them wait unread</translation>
    </message>
    <message>
        <source>一条子协商超过了 %1 字节</source>
        <translation>a subnegotiation ran past %1 bytes</translation>
    </message>
    <message>
        <source>它发来了大量未经请求的串口应答</source>
        <translation>it sent a flood of unrequested COM-PORT answers</translation>
    </message>
    <message>
        <source>它发来了大量选项协商</source>
        <translation>it sent a flood of option negotiations</translation>
    </message>
    <message>
        <source>它对一次设置发来了大量应答</source>
        <translation>it sent a flood of answers to one setting</translation>
    </message>
    <message>
        <source>%1的服务器违反了 RFC 2217 协议：%2。连接已经关闭。</source>
        <translation>The server of %1 broke the RFC 2217 protocol: %2. The connection is closed.</translation>
    </message>
</context>
<context>
    <name>Rs485Box</name>
    <message>
        <source>发送端口</source>
        <translation>Send port</translation>
    </message>
    <message>
        <source>接收端口</source>
        <translation>Receive port</translation>
    </message>
    <message>
        <source>收发端口</source>
        <translation>Both ways</translation>
    </message>
    <message>
        <source>网络线路：RFC 2217 没有 RS-485 控制，请在服务器端（ser2net）设置。</source>
        <translation>Network line: RFC 2217 has no RS-485 control; set it up on the server (ser2net).</translation>
    </message>
    <message>
        <source>对不起！<byte value="xd"/>
<byte value="xd"/>
RS-485 设置无法保存！<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Sorry!<byte value="xd"/>
<byte value="xd"/>
The RS-485 settings cannot be saved!<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>方向切换：</source>
        <translation>Direction:</translation>
    </message>
    <message>
        <source>发送时 RTS：</source>
        <translation>RTS sending:</translation>
    </message>
    <message>
        <source>发送前延时：</source>
        <translation>Delay before:</translation>
    </message>
    <message>
        <source>发送后延时：</source>
        <translation>Delay after:</translation>
    </message>
    <message>
        <source>发送时接收：</source>
        <translation>RX during TX:</translation>
    </message>
    <message>
        <source>去除回波：</source>
        <translation>Drop echo:</translation>
    </message>
    <message>
        <source>RS-485</source>
        <translation>RS-485</translation>
    </message>
    <message>
        <source>由驱动程序切换：Linux 的 RS-485 模式（TIOCSRS485），Windows 的 RTS 自动切换；由程序切换：每次发送前升起 RTS，最后一位发出后放下。下次开始通讯时生效</source>
        <translation>By the driver: the RS-485 mode of Linux (TIOCSRS485), the RTS toggle of Windows; by the program: RTS raised before each send and lowered after its last bit. Applies at the next start</translation>
    </message>
    <message>
        <source>高</source>
        <translation>high</translation>
    </message>
    <message>
        <source>低</source>
        <translation>low</translation>
    </message>
    <message>
        <source> 毫秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>单位是毫秒，不是微秒；驱动程序最多 %1 毫秒</source>
        <translation>In milliseconds, not microseconds; drivers hold at most %1 ms</translation>
    </message>
    <message>
        <source>转换器听到自己发送的数据时：与刚发送的相同的字节不显示、不记录、不参与应答比较，只计数；不同的计为冲突并显示</source>
        <translation>For adapters that hear their own sending: bytes equal to what was just sent are counted, not shown, captured or matched; differing ones count as a collision and show</translation>
    </message>
    <message>
        <source>驱动程序未按设置：</source>
        <translation>The driver differs: </translation>
    </message>
    <message>
        <source>回波 %1 字节，冲突 %2 次</source>
        <translation>Echo %1 bytes, %2 collisions</translation>
    </message>
    <message>
        <source>应答时间：</source>
        <translation>Turnaround: </translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>Rs485Options</name>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>由驱动程序切换</source>
        <translation>By the driver</translation>
    </message>
    <message>
        <source>由程序切换</source>
        <translation>By the program</translation>
    </message>
</context>
<context>
    <name>RuntimeError</name>
    <message>
        <source>溢出</source>
        <translation>Overflow</translation>
    </message>
    <message>
        <source>找不到标识符为“%1”的资源</source>
        <translation>No resource has the identifier &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>SerialLine</name>
    <message>
        <source>请执行“sudo usermod -aG %2 %1”后重新登录。</source>
        <translation>Run &quot;sudo usermod -aG %2 %1&quot;, then log in again.</translation>
    </message>
    <message>
        <source>用户 %1 已加入 %2 组，重新登录后生效。</source>
        <translation>The user %1 has joined the group %2; log in again.</translation>
    </message>
    <message>
        <source>用户 %1 无权读写此设备（%2:%3），请联系管理员。</source>
        <translation>The user %1 may not use this device (%2:%3); ask the administrator.</translation>
    </message>
    <message>
        <source>系统拒绝访问此设备。</source>
        <translation>The system denies access to this device.</translation>
    </message>
</context>
<context>
    <name>SkinnedWindow</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TestPattern</name>
    <message>
        <source>自定义</source>
        <translation>custom</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>文件未找到：%1</source>
        <translation>File not found: %1</translation>
    </message>
    <message>
        <source>没有读取文件的权限：%1</source>
        <translation>No permission to read the file: %1</translation>
    </message>
    <message>
        <source>路径/文件访问错误：%1</source>
        <translation>Path/file access error: %1</translation>
    </message>
</context>
<context>
    <name>TopButton</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>最大化</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>还原</source>
        <translation>Restore</translation>
    </message>
</context>
<context>
    <name>TurnaroundTimes</name>
    <message>
        <source>最短 %1 毫秒，中位 %2 毫秒，最长 %3 毫秒（%4 次）</source>
        <translation>min %1 ms, median %2 ms, max %3 ms (%4 exchanges)</translation>
    </message>
</context>
<context>
    <name>WindowTexts</name>
    <message>
        <source>确  定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>确定关闭</source>
        <translation>Close the window</translation>
    </message>
</context>
</TS>
