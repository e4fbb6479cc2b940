<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CBufferSettingDlg</name>
    <message>
        <location filename="../../dialogs/BufferSettingDlg.cpp" line="15"/>
        <source>Cache Size Setting</source>
        <translation>缓存大小设置</translation>
    </message>
    <message>
        <location filename="../../dialogs/BufferSettingDlg.cpp" line="18"/>
        <source>Maximum cache points</source>
        <translation>最大缓存点数</translation>
    </message>
    <message>
        <location filename="../../dialogs/BufferSettingDlg.cpp" line="26"/>
        <source>Auto save data</source>
        <translation>自动保存数据</translation>
    </message>
    <message>
        <location filename="../../dialogs/BufferSettingDlg.cpp" line="33"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../dialogs/BufferSettingDlg.cpp" line="36"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CChronoscopeDlg</name>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="173"/>
        <source>Measurement</source>
        <translation>测量</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="176"/>
        <source>Adaptive</source>
        <translation>自适应</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="180"/>
        <source>Period(ms):</source>
        <translation>周期(ms):</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="185"/>
        <source>Time Axis(ms):</source>
        <translation>时间轴(ms):</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="191"/>
        <source>Element Write</source>
        <translation>元件写入</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="192"/>
        <source>Address:</source>
        <translation>地址:</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="195"/>
        <source>Value:</source>
        <translation>值:</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="204"/>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="205"/>
        <source>Clear Tracks</source>
        <translation>清除轨迹</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="206"/>
        <source>Export Data</source>
        <translation>导出数据</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="207"/>
        <source>Import Data</source>
        <translation>导入数据</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="208"/>
        <source>Trigger</source>
        <translation>触发</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="209"/>
        <source>Communicate</source>
        <translation>通信</translation>
    </message>
    <message>
        <location filename="../../app/ChronoscopeDlg.cpp" line="210"/>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
</context>
<context>
    <name>CCommSettingDlg</name>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="74"/>
        <source>Communication config</source>
        <translation>通讯配置</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="100"/>
        <source>Serial</source>
        <translation>串口</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="101"/>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="102"/>
        <source>Ethernet</source>
        <translation>以太网</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="108"/>
        <source>Serial Port:</source>
        <translation>串口号:</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="111"/>
        <source>Baudrate:</source>
        <translation>波特率:</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="118"/>
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="124"/>
        <source>USB Port:</source>
        <translation>USB端口:</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="128"/>
        <source>Peer Device:</source>
        <translation>对端设备:</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="132"/>
        <source>Peer IP:</source>
        <translation>对端IP:</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="138"/>
        <source>Port:</source>
        <translation>端口:</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="143"/>
        <source>High Delay Mode</source>
        <translation>高延时模式</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="145"/>
        <source>Timeout(s):</source>
        <translation>超时(秒):</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="151"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="154"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location filename="../../dialogs/CommSettingDlg.cpp" line="270"/>
        <source>Please enter an integer.</source>
        <translation>请输入一个整数。</translation>
    </message>
</context>
<context>
    <name>CElemSelectDlg</name>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="37"/>
        <source>Channel:</source>
        <translation>通道:</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="41"/>
        <source>Address:</source>
        <translation>地址:</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="48"/>
        <source>Axis:</source>
        <translation>轴:</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="53"/>
        <source>Parameters:</source>
        <translation>参数:</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="58"/>
        <source>DataType:</source>
        <translation>数据类型:</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="62"/>
        <source>Color:</source>
        <translation>颜色:</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="67"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../dialogs/ElemSelectDlg.cpp" line="70"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CLanguageDlg</name>
    <message>
        <location filename="../../dialogs/LanguageDlg.cpp" line="15"/>
        <source>Language Switching</source>
        <translation>语言切换</translation>
    </message>
    <message>
        <location filename="../../dialogs/LanguageDlg.cpp" line="18"/>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <location filename="../../dialogs/LanguageDlg.cpp" line="25"/>
        <source>*After switching the language, restart the software to take effect.</source>
        <translation>*切换语言后，重启软件生效。</translation>
    </message>
    <message>
        <location filename="../../dialogs/LanguageDlg.cpp" line="28"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../dialogs/LanguageDlg.cpp" line="31"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CTriggerSettingDlg</name>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="48"/>
        <source>Trigger Setting</source>
        <translation>触发设置</translation>
    </message>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="57"/>
        <source>Trigger Enable</source>
        <translation>触发使能</translation>
    </message>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="59"/>
        <source>Trigger Channel:</source>
        <translation>触发通道:</translation>
    </message>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="62"/>
        <source>Trigger condition:</source>
        <translation>触发条件:</translation>
    </message>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="65"/>
        <source>Trigger Value:</source>
        <translation>触发值:</translation>
    </message>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="68"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../dialogs/TriggerSettingDlg.cpp" line="71"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="15"/>
        <source>Timeline(ms)</source>
        <translation>时间轴(ms)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="17"/>
        <source>Please select a serial port that is currently connected to the PLC</source>
        <translation>请选择当前与PLC连接的串口</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="19"/>
        <source>Computer serial port setting failed, please check whether the computer serial port is occupied or damaged</source>
        <translation>计算机串口设置失败，请检查计算机串口是否被占用或损坏</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="21"/>
        <source>Set computer serial port parameters successfully</source>
        <translation>设置计算机串口参数成功</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="22"/>
        <source>Failed to connect to Ethernet module</source>
        <translation>连接以太网模块失败</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="23"/>
        <source>Connect Ethernet module successfully</source>
        <translation>连接以太网模块成功</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="25"/>
        <source>Please select a USB port that is currently connected to the PLC</source>
        <translation>请选择当前与PLC连接的USB端口</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="26"/>
        <source>Connection to PLC via USB port failed</source>
        <translation>通过USB口连接PLC失败</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="27"/>
        <source>Connecting to PLC via USB interface is successful</source>
        <translation>通过USB接口连接PLC成功</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="28"/>
        <source>Test success with baud rate %d
%s,%d,%d</source>
        <translation>测试成功，波特率 %d
%s,%d,%d</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="29"/>
        <source>Progress:Test failed!</source>
        <translation>进度：测试失败！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="31"/>
        <source>Connection test between this machine and PLC failed, please check serial connection or PLC!</source>
        <translation>本机与PLC的连接测试失败，请检查串口连接或PLC！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="33"/>
        <source>Progress:COM%d:%d,%s,%d,%d</source>
        <translation>进度：COM%d:%d,%s,%d,%d</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="35"/>
        <source>|Channel Name|DataType|Color|Scale|Latest|Min|Max|X1|X2|ΔX|ΔY</source>
        <translation>|通道名称|数据类型|颜色|比例|最新值|最小值|最大值|X1|X2|ΔX|ΔY</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="36"/>
        <source>The file already exists, is it overwritten?</source>
        <translation>文件已存在，是否覆盖？</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="37"/>
        <source>Data export success</source>
        <translation>数据导出成功</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="38"/>
        <source>Data export failed</source>
        <translation>数据导出失败</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="39"/>
        <source>Data import successful</source>
        <translation>数据导入成功</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="40"/>
        <source>Data import failed</source>
        <translation>数据导入失败</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="41"/>
        <source>Time Series Monitoring Software(V1.0.2)</source>
        <translation>时序监控软件(V1.0.2)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="42"/>
        <source>Language(&amp;L)</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="43"/>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="44"/>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="45"/>
        <source>No channel selected!</source>
        <translation>未选择通道！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="46"/>
        <source>Failed to set channel data!</source>
        <translation>设置通道数据失败！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="47"/>
        <source>Failed to send running command!</source>
        <translation>发送运行命令失败！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="48"/>
        <source>Are you sure you want to clear the data?</source>
        <translation>确定要清除数据吗？</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="49"/>
        <source>Failed to read data, please check and try again!</source>
        <translation>读取数据失败，请检查后重试！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="50"/>
        <source>Failed to write element, please check and try again!</source>
        <translation>写入元件失败，请检查后重试！</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="52"/>
        <source>Select up to 6 channels, the maximum number has been reached</source>
        <translation>最多选择6个通道，已达到最大数量</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="53"/>
        <source>Are you sure you want to delete this channel?</source>
        <translation>确定要删除该通道吗？</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="54"/>
        <source>Add Channel</source>
        <translation>添加通道</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="55"/>
        <source>Modify Channel</source>
        <translation>修改通道</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="56"/>
        <source>Axis Parameters</source>
        <translation>轴参数</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="57"/>
        <source>Out of element address range, please re-enter</source>
        <translation>超出元件地址范围，请重新输入</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="59"/>
        <source>Failed to save configuration, failed to switch language</source>
        <translation>保存配置失败，语言切换失败</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="61"/>
        <source>The language switch is successful. It will take effect after restarting the program. Do you want to restart now?</source>
        <translation>语言切换成功，重启程序后生效。是否立即重启？</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="63"/>
        <source>Cache Size Setting(&amp;B)</source>
        <translation>缓存大小设置(&amp;B)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="64"/>
        <source>QX Main Module</source>
        <translation>QX主模块</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="65"/>
        <source>Ethernet Module</source>
        <translation>以太网模块</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="66"/>
        <source>Time Series Monitoring Software</source>
        <translation>时序监控软件</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="67"/>
        <source>Show Every Sample</source>
        <translation>显示全部采样点</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="68"/>
        <source>The last recording ended unexpectedly at %s with %s samples. Recover it?</source>
        <translation>上次记录于 %s 意外结束，共 %s 个采样点。是否恢复？</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="70"/>
        <source>The recording journal cannot be written; the recording goes on in memory.</source>
        <translation>无法写入记录日志；记录在内存中继续进行。</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Pre-trigger (ms)</source>
        <translation>预触发 (ms)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Repeat</source>
        <translation>重复</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Post-trigger (ms)</source>
        <translation>后触发 (ms)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>The event could not be saved; the recording goes on.</source>
        <translation>无法保存事件；记录继续进行。</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Waiting for trigger</source>
        <translation>等待触发</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Triggered at %s</source>
        <translation>已于 %s 触发</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>%s events saved</source>
        <translation>已保存 %s 个事件</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>1 event saved</source>
        <translation>已保存 1 个事件</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>The Modbus map file has errors; the default map is used.</source>
        <translation>Modbus 映射文件有错误；使用默认映射。</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Skipped: %s (%s)</source>
        <translation>跳过: %s (%s)</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Link: %s</source>
        <translation>连接: %s</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Recording %s</source>
        <translation>记录中 %s</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>%s ← %s written</source>
        <translation>%s ← %s 已写入</translation>
    </message>
    <message>
        <location filename="../../acquisition/StringTexts.cpp" line="75"/>
        <source>Journal on</source>
        <translation>日志已开启</translation>
    </message>
    <message>
        <source>Check Values Before Writing</source>
        <translation>写入前检查数值</translation>
    </message>
    <message>
        <source>The value was not written: it is not a complete value of the element&apos;s type.</source>
        <translation>数值未写入：它不是该元件类型的完整数值。</translation>
    </message>
    <message>
        <source>%s ← %s written, reads %s</source>
        <translation>%s ← %s 已写入，读回 %s</translation>
    </message>
    <message>
        <source>%s ← %s not written: %s</source>
        <translation>%s ← %s 未写入：%s</translation>
    </message>
    <message>
        <source>Sampled in the controller</source>
        <translation>在控制器中采样</translation>
    </message>
    <message>
        <source>Polled by this computer</source>
        <translation>由本计算机轮询</translation>
    </message>
    <message>
        <source>Polled by this computer, timed by the controller&apos;s clock</source>
        <translation>由本计算机轮询，按控制器时钟计时</translation>
    </message>
    <message>
        <source>Records read: %s; ring overruns: %s; the controller&apos;s period: %s ms</source>
        <translation>已读记录：%s；环形缓冲区溢出：%s；控制器周期：%s ms</translation>
    </message>
    <message>
        <source>Polls: %s; failed: %s; the controller&apos;s time seen again: %s</source>
        <translation>轮询：%s；失败：%s；重复的控制器时间：%s</translation>
    </message>
    <message>
        <source>Recording recovered: %s samples of %s channels</source>
        <translation>记录已恢复：%s 个采样，%s 个通道</translation>
    </message>
    <message>
        <source>The unfinished recording was kept as %s.
To bring it back later: chronoscope-record --recover %s --out FILE.data</source>
        <translation>未完成的记录已保存为 %s。
以后恢复：chronoscope-record --recover %s --out FILE.data</translation>
    </message>
    <message>
        <source>Journal off</source>
        <translation>日志已关闭</translation>
    </message>
    <message>
        <source>The workspace could not be saved. The recording is kept until it is saved or discarded.</source>
        <translation>无法保存工作区。记录将保留，直到保存或放弃为止。</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>放弃</translation>
    </message>
    <message>
        <source>The older half of the cache could not be saved. It stays in memory, and saving is tried again every few seconds.</source>
        <translation>无法保存缓存中较早的一半数据。数据保留在内存中，每隔几秒重试保存。</translation>
    </message>
    <message>
        <source>Statistics Between the Cursors</source>
        <translation>光标间统计</translation>
    </message>
    <message>
        <source>Values at X1 and X2</source>
        <translation>X1 和 X2 处的值</translation>
    </message>
    <message>
        <source>Minimum, Maximum and Peak-to-Peak</source>
        <translation>最小值、最大值和峰峰值</translation>
    </message>
    <message>
        <source>Mean and RMS</source>
        <translation>平均值和均方根</translation>
    </message>
    <message>
        <source>Y(X1)|Y(X2)|Min X1-X2|Max X1-X2|P-P|Mean|RMS</source>
        <translation>Y(X1)|Y(X2)|最小 X1-X2|最大 X1-X2|峰峰值|平均值|均方根</translation>
    </message>
    <message>
        <source>%s samples between the cursors</source>
        <translation>光标之间有 %s 个采样</translation>
    </message>
    <message>
        <source>Copy Chart</source>
        <translation>复制图表</translation>
    </message>
    <message>
        <source>Save Chart Image...</source>
        <translation>保存图表图像...</translation>
    </message>
    <message>
        <source>The chart image could not be saved</source>
        <translation>无法保存图表图像</translation>
    </message>
    <message>
        <source>Show Gaps</source>
        <translation>显示数据间断</translation>
    </message>
    <message>
        <source>Armed — waiting for trigger</source>
        <translation>已布防 — 等待触发</translation>
    </message>
    <message>
        <source>serial %s</source>
        <translation>串口 %s</translation>
    </message>
    <message>
        <source>tcp %s</source>
        <translation>以太网 %s</translation>
    </message>
    <message>
        <source>usb %s</source>
        <translation>USB %s</translation>
    </message>
    <message>
        <source>; </source>
        <translation>；</translation>
    </message>
    <message>
        <source>no answer in time</source>
        <translation>应答超时</translation>
    </message>
    <message>
        <source>the controller does not answer</source>
        <translation>控制器无应答</translation>
    </message>
    <message>
        <source>the connection was refused</source>
        <translation>连接被拒绝</translation>
    </message>
    <message>
        <source>no such file or device</source>
        <translation>文件或设备不存在</translation>
    </message>
    <message>
        <source>the controller does not know the request (exception 1)</source>
        <translation>控制器不支持该请求（异常 1）</translation>
    </message>
    <message>
        <source>the controller has no such address (exception 2)</source>
        <translation>控制器没有该地址（异常 2）</translation>
    </message>
    <message>
        <source>the controller refused the value (exception 3)</source>
        <translation>控制器拒绝该数值（异常 3）</translation>
    </message>
    <message>
        <source>the controller failed to carry out the request (exception 4)</source>
        <translation>控制器执行请求失败（异常 4）</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>磁盘已满</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>没有权限</translation>
    </message>
    <message>
        <source>the controller refused the value</source>
        <translation>控制器拒绝了该数值</translation>
    </message>
    <message>
        <source>the link is not open</source>
        <translation>连接未打开</translation>
    </message>
    <message>
        <source>the trace block takes 1 to </source>
        <translation>跟踪块只接受 1 至 </translation>
    </message>
    <message>
        <source> channels</source>
        <translation> 个通道</translation>
    </message>
    <message>
        <source>the trace block does not take the element&apos;s table or width</source>
        <translation>跟踪块不接受该元件的表或宽度</translation>
    </message>
    <message>
        <source>the trace block cannot reach the element</source>
        <translation>跟踪块无法访问该元件</translation>
    </message>
    <message>
        <source>the trace block refused the period</source>
        <translation>跟踪块拒绝了该周期</translation>
    </message>
    <message>
        <source>the channels&apos; record does not fit the trace block&apos;s ring</source>
        <translation>通道记录放不进跟踪块的环形缓冲区</translation>
    </message>
    <message>
        <source>the trace block refused the recording (</source>
        <translation>跟踪块拒绝了录制（代码 </translation>
    </message>
    <message>
        <source>the trace block speaks version </source>
        <translation>跟踪块的版本为 </translation>
    </message>
    <message>
        <source>, this program version </source>
        <translation>，本程序的版本为 </translation>
    </message>
    <message>
        <source>the trace block did not stop</source>
        <translation>跟踪块未停止</translation>
    </message>
    <message>
        <source>the trace block did not start its recording</source>
        <translation>跟踪块未开始录制</translation>
    </message>
    <message>
        <source>the trace block&apos;s records do not fit the channels or its ring</source>
        <translation>跟踪块的记录与通道或其环形缓冲区不符</translation>
    </message>
    <message>
        <source>the controller&apos;s trace block stopped recording</source>
        <translation>控制器的跟踪块停止了录制</translation>
    </message>
    <message>
        <source>the trace block&apos;s next slot lies outside its ring</source>
        <translation>跟踪块的下一个槽位超出了其环形缓冲区</translation>
    </message>
    <message>
        <source>the trace block&apos;s ring lies outside the registers</source>
        <translation>跟踪块的环形缓冲区超出了寄存器范围</translation>
    </message>
    <message>
        <source>no trace block</source>
        <translation>没有跟踪块</translation>
    </message>
    <message>
        <source>: no serial device for this port</source>
        <translation>：此端口没有串口设备</translation>
    </message>
    <message>
        <source>the probe element has no address</source>
        <translation>探测元件没有地址</translation>
    </message>
    <message>
        <source>too many channels</source>
        <translation>通道过多</translation>
    </message>
    <message>
        <source>unknown command</source>
        <translation>未知命令</translation>
    </message>
    <message>
        <source>no channels loaded</source>
        <translation>未加载通道</translation>
    </message>
    <message>
        <source>the controller stopped answering: </source>
        <translation>控制器停止了应答：</translation>
    </message>
    <message>
        <source> (the clock) has no Modbus address in the map</source>
        <translation>（时钟）在映射表中没有地址</translation>
    </message>
    <message>
        <source> has no Modbus address in the map</source>
        <translation> 在映射表中没有地址</translation>
    </message>
    <message>
        <source>nothing to write</source>
        <translation>没有要写入的内容</translation>
    </message>
    <message>
        <source> cannot be written</source>
        <translation> 无法写入</translation>
    </message>
    <message>
        <source>no answer in </source>
        <translation>无应答，已等待 </translation>
    </message>
    <message>
        <source>short reply</source>
        <translation>应答过短</translation>
    </message>
    <message>
        <source>is not a terminal (tty) device</source>
        <translation>不是终端（tty）设备</translation>
    </message>
    <message>
        <source>cannot be opened: </source>
        <translation>无法打开：</translation>
    </message>
    <message>
        <source>no serial device </source>
        <translation>没有串口设备 </translation>
    </message>
    <message>
        <source> is a terminal whose name the port numbering does not cover; reach it through a link named like ttyAMA0</source>
        <translation> 是端口编号未涵盖的终端；请通过名称类似 ttyAMA0 的链接访问它</translation>
    </message>
    <message>
        <source>the link is not set up</source>
        <translation>连接尚未设置</translation>
    </message>
    <message>
        <source>an empty value</source>
        <translation>空值</translation>
    </message>
    <message>
        <source> does not fit </source>
        <translation> 超出范围：</translation>
    </message>
    <message>
        <source>a bit (0, 1, ON or OFF)</source>
        <translation>位（0、1、ON 或 OFF）</translation>
    </message>
    <message>
        <source>REAL (a finite number within +-3.4e38)</source>
        <translation>REAL（绝对值不超过 3.4E38 的有限数）</translation>
    </message>
    <message>
        <source>the header has </source>
        <translation>表头有 </translation>
    </message>
    <message>
        <source> cells</source>
        <translation> 个单元格</translation>
    </message>
    <message>
        <source>header cell </source>
        <translation>表头第 </translation>
    </message>
    <message>
        <source> is empty</source>
        <translation> 个单元格为空</translation>
    </message>
    <message>
        <source> has no type</source>
        <translation> 个单元格没有类型</translation>
    </message>
    <message>
        <source> names no axis parameter</source>
        <translation> 个单元格不是轴参数</translation>
    </message>
    <message>
        <source>cannot create the folder</source>
        <translation>无法创建文件夹</translation>
    </message>
    <message>
        <source>cannot create a file in</source>
        <translation>无法创建文件，文件夹：</translation>
    </message>
    <message>
        <source>cannot create </source>
        <translation>无法创建 </translation>
    </message>
    <message>
        <source>cannot write </source>
        <translation>无法写入 </translation>
    </message>
    <message>
        <source>the file cannot be opened</source>
        <translation>无法打开该文件</translation>
    </message>
    <message>
        <source>cannot open</source>
        <translation>无法打开</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>文件为空</translation>
    </message>
    <message>
        <source>: no such file</source>
        <translation>：文件不存在</translation>
    </message>
    <message>
        <source>; what came before is kept</source>
        <translation>；之前的内容已保留</translation>
    </message>
    <message>
        <source>: more points than memory holds</source>
        <translation>：点数超出内存容量</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>无法写入该文件</translation>
    </message>
    <message>
        <source>the file cannot be closed</source>
        <translation>无法关闭该文件</translation>
    </message>
    <message>
        <source>: cannot be read</source>
        <translation>：无法读取</translation>
    </message>
    <message>
        <source>damaged: more rows than the file can hold</source>
        <translation>已损坏：行数超出文件所能容纳的数量</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>a text is longer than the data left</source>
        <translation>文本长于剩余的数据</translation>
    </message>
    <message>
        <source>the archive is closed</source>
        <translation>存档已关闭</translation>
    </message>
    <message>
        <source>the archive is open for reading</source>
        <translation>存档以读取方式打开</translation>
    </message>
    <message>
        <source>the archive is open for writing</source>
        <translation>存档以写入方式打开</translation>
    </message>
    <message>
        <source>the data ends early</source>
        <translation>数据提前结束</translation>
    </message>
    <message>
        <source>too many channel records</source>
        <translation>通道记录过多</translation>
    </message>
    <message>
        <source>line </source>
        <translation>行 </translation>
    </message>
    <message>
        <source>the line is longer than </source>
        <translation>该行长于 </translation>
    </message>
    <message>
        <source> bytes</source>
        <translation> 字节</translation>
    </message>
    <message>
        <source>text follows a closing quote</source>
        <translation>右引号之后还有文本</translation>
    </message>
    <message>
        <source>the file holds binary data</source>
        <translation>文件包含二进制数据</translation>
    </message>
    <message>
        <source>a quoted cell is not closed</source>
        <translation>带引号的单元格未闭合</translation>
    </message>
    <message>
        <source>the reply is not valid</source>
        <translation>应答无效</translation>
    </message>
    <message>
        <source>the controller closed the connection</source>
        <translation>控制器关闭了连接</translation>
    </message>
    <message>
        <source>the connection was reset</source>
        <translation>连接被重置</translation>
    </message>
    <message>
        <source>the network cannot reach the controller</source>
        <translation>网络无法到达控制器</translation>
    </message>
    <message>
        <source>the controller is busy (exception 6)</source>
        <translation>控制器忙（异常 6）</translation>
    </message>
    <message>
        <source>controller exception </source>
        <translation>控制器异常 </translation>
    </message>
    <message>
        <source>a read or write of the device failed</source>
        <translation>设备读写失败</translation>
    </message>
    <message>
        <source>the device is in use</source>
        <translation>设备正在使用中</translation>
    </message>
    <message>
        <source>the journal file cannot be opened</source>
        <translation>无法打开日志文件</translation>
    </message>
    <message>
        <source>the journal file is read-only</source>
        <translation>日志文件为只读</translation>
    </message>
    <message>
        <source>the journal file is in use</source>
        <translation>日志文件正在被使用</translation>
    </message>
    <message>
        <source>the file is not a journal</source>
        <translation>该文件不是日志文件</translation>
    </message>
    <message>
        <source>the journal file is damaged</source>
        <translation>日志文件已损坏</translation>
    </message>
</context>
</TS>
