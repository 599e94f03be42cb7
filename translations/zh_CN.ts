<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Alarm</name>
    <message>
        <source>Communication lost</source>
        <translation>通讯中断</translation>
    </message>
    <message>
        <source>Communication established</source>
        <translation>通讯建立</translation>
    </message>
    <message>
        <source>Input voltage fault</source>
        <translation>输入电压故障</translation>
    </message>
    <message>
        <source>Input voltage returns to normal</source>
        <translation>输入电压恢复正常</translation>
    </message>
    <message>
        <source>Battery voltage low</source>
        <translation>电池电压低</translation>
    </message>
    <message>
        <source>Battery voltage returns to normal</source>
        <translation>电池电压恢复正常</translation>
    </message>
    <message>
        <source>Bypass supply</source>
        <translation>旁路供电</translation>
    </message>
    <message>
        <source>Rectifier supply</source>
        <translation>整流器供电</translation>
    </message>
    <message>
        <source>UPS fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>UPS returns to normal</source>
        <translation>UPS 恢复正常</translation>
    </message>
    <message>
        <source>UPS backup</source>
        <translation>UPS 电池逆变供电</translation>
    </message>
    <message>
        <source>UPS online</source>
        <translation>UPS 在线</translation>
    </message>
    <message>
        <source>In self-test</source>
        <translation>正在自检</translation>
    </message>
    <message>
        <source>Self-test finished</source>
        <translation>自检结束</translation>
    </message>
    <message>
        <source>In power off</source>
        <translation>正在关机</translation>
    </message>
    <message>
        <source>UPS returns from power off</source>
        <translation>UPS 从关机状态恢复</translation>
    </message>
    <message>
        <source>Buzzer open</source>
        <translation>蜂鸣器开启</translation>
    </message>
    <message>
        <source>Buzzer silent</source>
        <translation>蜂鸣器静音</translation>
    </message>
    <message>
        <source>Boost or buck activated</source>
        <translation>升压或降压已启动</translation>
    </message>
    <message>
        <source>UPS returns from boost or buck</source>
        <translation>UPS 退出升压或降压</translation>
    </message>
    <message>
        <source>On boost</source>
        <translation>升压中</translation>
    </message>
    <message>
        <source>On Buck</source>
        <translation>降压中</translation>
    </message>
    <message>
        <source>Input phase sequence error</source>
        <translation>输入相序错误</translation>
    </message>
    <message>
        <source>Input voltage high</source>
        <translation>输入电压高</translation>
    </message>
    <message>
        <source>Input voltage low</source>
        <translation>输入电压低</translation>
    </message>
    <message>
        <source>Input voltage abnormal</source>
        <translation>输入电压异常</translation>
    </message>
    <message>
        <source>Input N missing</source>
        <translation>输入零线缺失</translation>
    </message>
    <message>
        <source>Input frequency abnormal</source>
        <translation>输入频率异常</translation>
    </message>
    <message>
        <source>+DC bus over voltage</source>
        <translation>正直流母线过压</translation>
    </message>
    <message>
        <source>-DC bus over voltage</source>
        <translation>负直流母线过压</translation>
    </message>
    <message>
        <source>DC bus OV HW CKT</source>
        <translation>直流母线过压硬件保护</translation>
    </message>
    <message>
        <source>DC Bus over voltage</source>
        <translation>直流母线过压</translation>
    </message>
    <message>
        <source>+DC bus low voltage(output on)</source>
        <translation>正直流母线欠压(输出开启)</translation>
    </message>
    <message>
        <source>-DC bus low voltage(output on)</source>
        <translation>负直流母线欠压(输出开启)</translation>
    </message>
    <message>
        <source>+DC bus voltage low(output off)</source>
        <translation>正直流母线欠压(输出关闭)</translation>
    </message>
    <message>
        <source>-DC bus voltage low(output off)</source>
        <translation>负直流母线欠压(输出关闭)</translation>
    </message>
    <message>
        <source>DC bus voltage low</source>
        <translation>直流母线电压低</translation>
    </message>
    <message>
        <source>DC bus delta</source>
        <translation>直流母线不平衡</translation>
    </message>
    <message>
        <source>DC bus delta(line)</source>
        <translation>直流母线不平衡(市电)</translation>
    </message>
    <message>
        <source>DC bus delta(on battery)</source>
        <translation>直流母线不平衡(电池)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(line)</source>
        <translation>正直流母线软启动失败(市电)</translation>
    </message>
    <message>
        <source>-DC Bus soft start fail(Line)</source>
        <translation>负直流母线软启动失败(市电)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(battery)</source>
        <translation>正直流母线软启动失败(电池)</translation>
    </message>
    <message>
        <source>-DC bus soft start fail(battery)</source>
        <translation>负直流母线软启动失败(电池)</translation>
    </message>
    <message>
        <source>+DC bus discharge fail</source>
        <translation>正直流母线放电失败</translation>
    </message>
    <message>
        <source>-DC bus discharge fail</source>
        <translation>负直流母线放电失败</translation>
    </message>
    <message>
        <source>Rectifier fault</source>
        <translation>整流器故障</translation>
    </message>
    <message>
        <source>Rectifier over current</source>
        <translation>整流器过流</translation>
    </message>
    <message>
        <source>Inverter output low</source>
        <translation>逆变器输出电压低</translation>
    </message>
    <message>
        <source>Inverter output high</source>
        <translation>逆变器输出电压高</translation>
    </message>
    <message>
        <source>Inverter hardware CKT</source>
        <translation>逆变器硬件保护</translation>
    </message>
    <message>
        <source>Inverter fault</source>
        <translation>逆变器故障</translation>
    </message>
    <message>
        <source>Output relay weld close</source>
        <translation>输出继电器粘连</translation>
    </message>
    <message>
        <source>Output relay weld open</source>
        <translation>输出继电器开路</translation>
    </message>
    <message>
        <source>Inverter overload</source>
        <translation>逆变器过载</translation>
    </message>
    <message>
        <source>Inverter overload time out</source>
        <translation>逆变器过载超时</translation>
    </message>
    <message>
        <source>Inverter DC over voltage</source>
        <translation>逆变器直流分量过压</translation>
    </message>
    <message>
        <source>Output meas mismatch</source>
        <translation>输出测量值不一致</translation>
    </message>
    <message>
        <source>Inverter soft start fail</source>
        <translation>逆变器软启动失败</translation>
    </message>
    <message>
        <source>Soft start fail</source>
        <translation>软启动失败</translation>
    </message>
    <message>
        <source>Output short circuit</source>
        <translation>输出短路</translation>
    </message>
    <message>
        <source>Output over voltage</source>
        <translation>输出过压</translation>
    </message>
    <message>
        <source>Output severe over voltage</source>
        <translation>输出严重过压</translation>
    </message>
    <message>
        <source>Output low voltage</source>
        <translation>输出欠压</translation>
    </message>
    <message>
        <source>Output overload</source>
        <translation>输出过载</translation>
    </message>
    <message>
        <source>Battery reversed connection</source>
        <translation>电池反接</translation>
    </message>
    <message>
        <source>+Battery over voltage</source>
        <translation>正电池组过压</translation>
    </message>
    <message>
        <source>-Battery over voltage</source>
        <translation>负电池组过压</translation>
    </message>
    <message>
        <source>+Battery disconnected</source>
        <translation>正电池组未连接</translation>
    </message>
    <message>
        <source>-Battery disconnected</source>
        <translation>负电池组未连接</translation>
    </message>
    <message>
        <source>+Battery low pre alarm</source>
        <translation>正电池组低压预告警</translation>
    </message>
    <message>
        <source>-Battery low pre alarm</source>
        <translation>负电池组低压预告警</translation>
    </message>
    <message>
        <source>+Battery low voltage</source>
        <translation>正电池组欠压</translation>
    </message>
    <message>
        <source>-Battery low voltage</source>
        <translation>负电池组欠压</translation>
    </message>
    <message>
        <source>RBC needs replacement</source>
        <translation>电池需要更换</translation>
    </message>
    <message>
        <source>+Charger error</source>
        <translation>正充电器错误</translation>
    </message>
    <message>
        <source>-Charger error</source>
        <translation>负充电器错误</translation>
    </message>
    <message>
        <source>+Charger over voltage</source>
        <translation>正充电器过压</translation>
    </message>
    <message>
        <source>-Charger over voltage</source>
        <translation>负充电器过压</translation>
    </message>
    <message>
        <source>+Charger low voltage</source>
        <translation>正充电器欠压</translation>
    </message>
    <message>
        <source>-Charger low voltage</source>
        <translation>负充电器欠压</translation>
    </message>
    <message>
        <source>Charger meas mismatch</source>
        <translation>充电器测量值不一致</translation>
    </message>
    <message>
        <source>Bypass phase sequence error</source>
        <translation>旁路相序错误</translation>
    </message>
    <message>
        <source>Bypass over current</source>
        <translation>旁路过流</translation>
    </message>
    <message>
        <source>Bypass voltage abnormal</source>
        <translation>旁路电压异常</translation>
    </message>
    <message>
        <source>Bypass frequency abnormal</source>
        <translation>旁路频率异常</translation>
    </message>
    <message>
        <source>Bypass overload</source>
        <translation>旁路过载</translation>
    </message>
    <message>
        <source>Bypass overload time out</source>
        <translation>旁路过载超时</translation>
    </message>
    <message>
        <source>PDU activated</source>
        <translation>PDU 已启动</translation>
    </message>
    <message>
        <source>Bypass not available</source>
        <translation>旁路不可用</translation>
    </message>
    <message>
        <source>Bypass unable to trace</source>
        <translation>旁路无法跟踪</translation>
    </message>
    <message>
        <source>Battery over temperature critical</source>
        <translation>电池温度严重过高</translation>
    </message>
    <message>
        <source>Battery low temperature</source>
        <translation>电池温度低</translation>
    </message>
    <message>
        <source>Battery over temperature(&gt;50℃ charging)</source>
        <translation>电池过温(充电时&gt;50℃)</translation>
    </message>
    <message>
        <source>Battery temp sensor disconnected</source>
        <translation>电池温度传感器未连接</translation>
    </message>
    <message>
        <source>Fan inoperative</source>
        <translation>风扇不工作</translation>
    </message>
    <message>
        <source>Fan logic power supply fault</source>
        <translation>风扇逻辑电源故障</translation>
    </message>
    <message>
        <source>Fuse blown</source>
        <translation>保险丝熔断</translation>
    </message>
    <message>
        <source>Heat sink 1 over temperature</source>
        <translation>散热器 1 过温</translation>
    </message>
    <message>
        <source>Heat sink 2 over temperature</source>
        <translation>散热器 2 过温</translation>
    </message>
    <message>
        <source>Inverter over temperature</source>
        <translation>逆变器过温</translation>
    </message>
    <message>
        <source>Ambient over temperature</source>
        <translation>环境温度过高</translation>
    </message>
    <message>
        <source>Ambient low temperature</source>
        <translation>环境温度过低</translation>
    </message>
    <message>
        <source>Bypass SCR/relay short circuit</source>
        <translation>旁路 SCR/继电器短路</translation>
    </message>
    <message>
        <source>Bypass SCR/relay open circuit</source>
        <translation>旁路 SCR/继电器开路</translation>
    </message>
    <message>
        <source>Bkfeed relay weld close</source>
        <translation>反灌继电器粘连</translation>
    </message>
    <message>
        <source>Bkfeed relay weld open</source>
        <translation>反灌继电器开路</translation>
    </message>
    <message>
        <source>Logic power supply error</source>
        <translation>逻辑电源错误</translation>
    </message>
    <message>
        <source>EEPROM fault</source>
        <translation>EEPROM 故障</translation>
    </message>
    <message>
        <source>RAM error</source>
        <translation>RAM 错误</translation>
    </message>
    <message>
        <source>Parallel communication error</source>
        <translation>并机通讯错误</translation>
    </message>
    <message>
        <source>Internal communication error</source>
        <translation>内部通讯错误</translation>
    </message>
    <message>
        <source>CPLD fault</source>
        <translation>CPLD 故障</translation>
    </message>
    <message>
        <source>MCU reseted</source>
        <translation>MCU 已复位</translation>
    </message>
    <message>
        <source>Bkfeed relay locked</source>
        <translation>反灌继电器锁定</translation>
    </message>
    <message>
        <source>BMS communication error</source>
        <translation>BMS 通讯错误</translation>
    </message>
    <message>
        <source>Parallel relay error</source>
        <translation>并机继电器错误</translation>
    </message>
    <message>
        <source>Parallel connect error</source>
        <translation>并机连接错误</translation>
    </message>
    <message>
        <source>Parallel current sharing error</source>
        <translation>并机均流错误</translation>
    </message>
    <message>
        <source>Parallel overload</source>
        <translation>并机过载</translation>
    </message>
    <message>
        <source>Button error</source>
        <translation>按键错误</translation>
    </message>
    <message>
        <source>EPO activated</source>
        <translation>紧急关机(EPO)已触发</translation>
    </message>
    <message>
        <source>Firmware mismatch</source>
        <translation>固件不匹配</translation>
    </message>
    <message>
        <source>Firmware upgrading</source>
        <translation>固件升级中</translation>
    </message>
    <message>
        <source>AVR is running too long</source>
        <translation>AVR 运行时间过长</translation>
    </message>
    <message>
        <source>AVR time is up</source>
        <translation>AVR 时间已到</translation>
    </message>
    <message>
        <source>Battery load time is too long</source>
        <translation>电池带载时间过长</translation>
    </message>
    <message>
        <source>Rectifier over temperature</source>
        <translation>整流器过温</translation>
    </message>
    <message>
        <source>Rectifier parallel signal error</source>
        <translation>整流器并机信号错误</translation>
    </message>
    <message>
        <source>Rectifier logic power supply error</source>
        <translation>整流器逻辑电源错误</translation>
    </message>
    <message>
        <source>Input SCR inoperable</source>
        <translation>输入 SCR 不工作</translation>
    </message>
    <message>
        <source>Discharge SCR error</source>
        <translation>放电 SCR 错误</translation>
    </message>
    <message>
        <source>Charge SCR error</source>
        <translation>充电 SCR 错误</translation>
    </message>
    <message>
        <source>Fan inoperable</source>
        <translation>风扇不工作</translation>
    </message>
    <message>
        <source>Fan power supply error</source>
        <translation>风扇电源错误</translation>
    </message>
    <message>
        <source>Charger over temperature</source>
        <translation>充电器过温</translation>
    </message>
    <message>
        <source>Rectifier DC bus soft start error</source>
        <translation>整流器直流母线软启动错误</translation>
    </message>
    <message>
        <source>Charger fault</source>
        <translation>充电器故障</translation>
    </message>
    <message>
        <source>PFC communication fault</source>
        <translation>PFC 通讯故障</translation>
    </message>
    <message>
        <source>Rectifier initializing fault</source>
        <translation>整流器初始化故障</translation>
    </message>
    <message>
        <source>Rectifier power block not connected</source>
        <translation>整流器功率模块未连接</translation>
    </message>
    <message>
        <source>Battery charging over voltage</source>
        <translation>电池充电过压</translation>
    </message>
    <message>
        <source>Rectifier CPLD clock source fault</source>
        <translation>整流器 CPLD 时钟源故障</translation>
    </message>
    <message>
        <source>Charger over current</source>
        <translation>充电器过流</translation>
    </message>
    <message>
        <source>Inverter IGBT short circuit</source>
        <translation>逆变器 IGBT 短路</translation>
    </message>
    <message>
        <source>Inverter relay short circuit</source>
        <translation>逆变器继电器短路</translation>
    </message>
    <message>
        <source>Inverter relay broken</source>
        <translation>逆变器继电器损坏</translation>
    </message>
    <message>
        <source>Inverter parallel signal fault</source>
        <translation>逆变器并机信号故障</translation>
    </message>
    <message>
        <source>Inverter communication fault</source>
        <translation>逆变器通讯故障</translation>
    </message>
    <message>
        <source>Inverter initializing fault</source>
        <translation>逆变器初始化故障</translation>
    </message>
    <message>
        <source>Inverter self-test error</source>
        <translation>逆变器自检错误</translation>
    </message>
    <message>
        <source>Inverter DC offset over voltage</source>
        <translation>逆变器直流偏置过压</translation>
    </message>
    <message>
        <source>Inverter DC bus abnormal</source>
        <translation>逆变器直流母线异常</translation>
    </message>
    <message>
        <source>Inverter PM not connected</source>
        <translation>逆变器功率模块未连接</translation>
    </message>
    <message>
        <source>Inverter APS fault</source>
        <translation>逆变器辅助电源故障</translation>
    </message>
    <message>
        <source>Inverter load sharing error</source>
        <translation>逆变器均流错误</translation>
    </message>
    <message>
        <source>Inverter parallel wire connection error</source>
        <translation>逆变器并机线连接错误</translation>
    </message>
    <message>
        <source>UPS mode incorrect</source>
        <translation>UPS 模式不正确</translation>
    </message>
    <message>
        <source>Inverter fuse blown</source>
        <translation>逆变器保险丝熔断</translation>
    </message>
    <message>
        <source>Inverter CPLD clock source fault</source>
        <translation>逆变器 CPLD 时钟源故障</translation>
    </message>
    <message>
        <source>Bypass SCR short circuit</source>
        <translation>旁路 SCR 短路</translation>
    </message>
    <message>
        <source>Bypass SCR broken</source>
        <translation>旁路 SCR 损坏</translation>
    </message>
    <message>
        <source>Backfeed on bypass</source>
        <translation>旁路反灌</translation>
    </message>
    <message>
        <source>Input wire error</source>
        <translation>输入接线错误</translation>
    </message>
    <message>
        <source>Input N missing detection</source>
        <translation>检测到输入零线缺失</translation>
    </message>
    <message>
        <source>Battery over voltage</source>
        <translation>电池过压</translation>
    </message>
    <message>
        <source>Battery EOD warning</source>
        <translation>电池放电终止预警</translation>
    </message>
    <message>
        <source>Battery reversed</source>
        <translation>电池反接</translation>
    </message>
    <message>
        <source>Battery EOD</source>
        <translation>电池放电终止</translation>
    </message>
    <message>
        <source>No battery</source>
        <translation>无电池</translation>
    </message>
    <message>
        <source>Input Reversed</source>
        <translation>输入反接</translation>
    </message>
    <message>
        <source>Input frequency out of tol.</source>
        <translation>输入频率超出允许范围</translation>
    </message>
    <message>
        <source>Input voltage out of tol.</source>
        <translation>输入电压超出允许范围</translation>
    </message>
    <message>
        <source>PFC communication abnormal</source>
        <translation>PFC 通讯异常</translation>
    </message>
    <message>
        <source>Input unavailable</source>
        <translation>输入不可用</translation>
    </message>
    <message>
        <source>Rectifier setting incorrect</source>
        <translation>整流器设置不正确</translation>
    </message>
    <message>
        <source>Mains unable to trace in 1:1 mode</source>
        <translation>1:1 模式下无法跟踪市电</translation>
    </message>
    <message>
        <source>Mains relay short circuit</source>
        <translation>市电继电器短路</translation>
    </message>
    <message>
        <source>Mains relay broken</source>
        <translation>市电继电器损坏</translation>
    </message>
    <message>
        <source>Inverter parallel signal abnormal</source>
        <translation>逆变器并机信号异常</translation>
    </message>
    <message>
        <source>Inverter out of sync.</source>
        <translation>逆变器失去同步</translation>
    </message>
    <message>
        <source>Output abnormal</source>
        <translation>输出异常</translation>
    </message>
    <message>
        <source>Inverter communication abnormal</source>
        <translation>逆变器通讯异常</translation>
    </message>
    <message>
        <source>Inverter setting incorrect</source>
        <translation>逆变器设置不正确</translation>
    </message>
    <message>
        <source>Bypass input relay short circuit</source>
        <translation>旁路输入继电器短路</translation>
    </message>
    <message>
        <source>Bypass input relay broken</source>
        <translation>旁路输入继电器损坏</translation>
    </message>
    <message>
        <source>Bypass unavailable</source>
        <translation>旁路不可用</translation>
    </message>
    <message>
        <source>Bypass switch too frequent</source>
        <translation>旁路切换过于频繁</translation>
    </message>
    <message>
        <source>Bypass reversed</source>
        <translation>旁路反接</translation>
    </message>
    <message>
        <source>Battery self-test error</source>
        <translation>电池自检错误</translation>
    </message>
    <message>
        <source>No battery temperature sensor</source>
        <translation>无电池温度传感器</translation>
    </message>
    <message>
        <source>Battery over temperature</source>
        <translation>电池过温</translation>
    </message>
    <message>
        <source>Monitor EEPROM error</source>
        <translation>监控 EEPROM 错误</translation>
    </message>
    <message>
        <source>Parallel CAN abnormal</source>
        <translation>并机 CAN 异常</translation>
    </message>
    <message>
        <source>Ambient temperature &gt;40℃ or &lt; -20℃</source>
        <translation>环境温度 &gt;40℃ 或 &lt; -20℃</translation>
    </message>
    <message>
        <source>Battery temperature low</source>
        <translation>电池温度低</translation>
    </message>
    <message>
        <source>Need to check battery</source>
        <translation>需要检查电池</translation>
    </message>
    <message>
        <source>Returned from: </source>
        <translation>恢复自: </translation>
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation>关机倒计时已取消</translation>
    </message>
    <message>
        <source>UPS output-off cancelled</source>
        <translation>UPS 输出关闭已取消</translation>
    </message>
</context>
<context>
    <name>BatteryAge</name>
    <message>
        <source>Battery replacement due</source>
        <translation>电池需要更换</translation>
    </message>
    <message>
        <source>The UPS battery was installed on %1 and is due for replacement since %2. An old battery may not carry the computer through the next mains failure.</source>
        <translation>UPS 电池安装于 %1, 自 %2 起已到更换期限。老化的电池可能无法在下次市电故障时支撑电脑运行。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and end.</source>
        <translation>显示此帮助并退出。</translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation>显示版本并退出。</translation>
    </message>
    <message>
        <source>Run without the window and the tray: monitoring, alarms, samples, the shutdown countdown, mail and scheduled tasks go on. Log lines also go to standard error.</source>
        <translation>不带窗口和托盘图标运行：监控、报警、采样、关机倒计时、邮件和计划任务照常进行。日志也输出到标准错误。</translation>
    </message>
    <message>
        <source>Keep settings, history and logs in DIR (the same as the environment variable QUELTA_HOME).</source>
        <translation>将设置、历史记录和日志保存在 DIR 中（与环境变量 QUELTA_HOME 相同）。</translation>
    </message>
    <message>
        <source>Unexpected argument '%1'.</source>
        <translation>意外的参数“%1”。</translation>
    </message>
    <message>
        <source>--home needs a folder.</source>
        <translation>--home 需要一个文件夹。</translation>
    </message>
    <message>
        <source>Manage the accounts of the network server and end: 'add NAME --role monitor|admin' (the password is read from standard input), 'remove NAME' or 'list'. This works while the program runs on the same folder; it takes the change at once.</source>
        <translation>管理网络服务器的账户并退出：“add 名称 --role monitor|admin”（密码从标准输入读取）、“remove 名称”或“list”。程序在同一文件夹上运行时也可使用，程序会立即采用更改。</translation>
    </message>
    <message>
        <source>The role of an account added with --nut-user: monitor or admin.</source>
        <translation>用 --nut-user 添加的账户的角色：monitor 或 admin。</translation>
    </message>
    <message>
        <source>--role goes with --nut-user add.</source>
        <translation>--role 需与 --nut-user add 一起使用。</translation>
    </message>
    <message>
        <source>--json goes with status.</source>
        <translation>--json 需与 status 一起使用。</translation>
    </message>
    <message>
        <source>With status: the state as one JSON document.</source>
        <translation>与 status 一起使用：以一个 JSON 文档输出状态。</translation>
    </message>
    <message>
        <source>Try '%1 --help' for the options.</source>
        <translation>使用“%1 --help”查看选项。</translation>
    </message>
    <message>
        <source>Instead of running, one of:
config list: every setting with its value;
config get KEY: one setting's value;
config set KEY VALUE: change a setting;
config set-password KEY: a password (the SMTP login's, the network link's) from the first line of standard input;
config check: each problem of the settings file with its line; exit status 0 when there is none, 2 when there are;
status: the state of the UPS of the running program; exit status 0 on mains, 1 on battery, 2 battery low, a fault or the output off, 3 no UPS or no program.
A running program takes a changed setting at once.</source>
        <translation>不运行程序，而是执行以下命令之一：
config list：列出每项设置及其值；
config get 键：一项设置的值；
config set 键 值：更改一项设置；
config set-password 键：从标准输入的第一行读取密码（SMTP 登录的密码、网络链路的密码）；
config check：列出设置文件的每个问题及其行号；没有问题时退出状态为 0，有问题时为 2；
status：正在运行的程序的 UPS 状态；退出状态 0 市电供电，1 电池供电，2 电池电量低、故障或输出关闭，3 无 UPS 或程序未运行。
正在运行的程序会立即采用更改的设置。</translation>
    </message>
    <message>
        <source>Watches UPSes and shuts the computer down in order when the power fails.</source>
        <translation>监视 UPS，停电时有序关闭计算机。</translation>
    </message>
</context>
<context>
    <name>ConfigCommand</name>
    <message>
        <source>(set)</source>
        <translation>（已设置）</translation>
    </message>
    <message>
        <source>Cannot read %1: %2.</source>
        <translation>无法读取 %1：%2。</translation>
    </message>
    <message>
        <source>There is no setting %1; config list shows them all.</source>
        <translation>没有设置 %1；config list 会列出所有设置。</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>无法写入 %1。</translation>
    </message>
    <message>
        <source>%1 is no password; set it with config set.</source>
        <translation>%1 不是密码；请用 config set 设置。</translation>
    </message>
    <message>
        <source>Password %1 cleared.</source>
        <translation>密码 %1 已清除。</translation>
    </message>
    <message>
        <source>Password %1 set.</source>
        <translation>密码 %1 已设置。</translation>
    </message>
    <message>
        <source>%1 is a password: set it with config set-password %1, which reads it from standard input.</source>
        <translation>%1 是密码：请用 config set-password %1 设置，它从标准输入读取密码。</translation>
    </message>
    <message>
        <source>%1 takes %2, not '%3'.</source>
        <translation>%1 应为%2，而不是“%3”。</translation>
    </message>
    <message>
        <source>The settings file %1 does not read whole; nothing is written to it. Repair it: 'config check' lists the problems; edit the file, or put back an earlier copy of it.</source>
        <translation>设置文件 %1 无法完整读取；不会向其写入任何内容。请修复它：'config check' 列出问题；编辑该文件，或放回它较早的副本。</translation>
    </message>
    <message>
        <source>Use config list, config get KEY, config set KEY VALUE, config set-password KEY or config check.</source>
        <translation>请使用 config list、config get 键、config set 键 值、config set-password 键 或 config check。</translation>
    </message>
    <message>
        <source>There is no settings file %1 yet; the defaults are in force.</source>
        <translation>尚无设置文件 %1；使用默认值。</translation>
    </message>
    <message>
        <source>%1 reads whole; every value is one its setting takes.</source>
        <translation>%1 可完整读取；每个值都是其设置可接受的值。</translation>
    </message>
    <message>
        <source>%1 does not read whole: a line that does not read shows its default; 'config check' lists the problems.</source>
        <translation>%1 无法完整读取：无法读取的行显示其默认值；'config check' 列出问题。</translation>
    </message>
    <message>
        <source>A password is %1 characters at most.</source>
        <translation>密码最多 %1 个字符。</translation>
    </message>
    <message>
        <source>A password is a line of text without control characters.</source>
        <translation>密码须为不含控制字符的一行文本。</translation>
    </message>
</context>
<context>
    <name>DevComm</name>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>DevDataChartPage</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
</context>
<context>
    <name>DevDataDialPage</name>
    <message>
        <source>UPS Load</source>
        <translation>UPS 负载</translation>
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation>电池容量</translation>
    </message>
</context>
<context>
    <name>DevDataInfoPage</name>
    <message>
        <source>UPS Manufacturer:</source>
        <translation>UPS 制造商:</translation>
    </message>
    <message>
        <source>UPS Model:</source>
        <translation>UPS 型号:</translation>
    </message>
    <message>
        <source>UPS Version:</source>
        <translation>UPS 版本:</translation>
    </message>
    <message>
        <source>UPS SN:</source>
        <translation>UPS 序列号:</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>电池健康度</translation>
    </message>
</context>
<context>
    <name>DevDataItemPage</name>
    <message>
        <source>Input Voltage</source>
        <translation>输入电压</translation>
    </message>
    <message>
        <source>Output Voltage</source>
        <translation>输出电压</translation>
    </message>
    <message>
        <source>Input Frequncy</source>
        <translation>输入频率</translation>
    </message>
    <message>
        <source>UPS Load</source>
        <translation>UPS 负载</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>温度</translation>
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation>电池电压</translation>
    </message>
</context>
<context>
    <name>DevDataMimicPage</name>
    <message>
        <source>On Bypass</source>
        <translation>旁路供电</translation>
    </message>
    <message>
        <source>On Mains</source>
        <translation>市电供电</translation>
    </message>
    <message>
        <source>UPS</source>
        <translation>UPS</translation>
    </message>
    <message>
        <source>AC IN</source>
        <translation>交流输入</translation>
    </message>
    <message>
        <source>AC/DC</source>
        <translation>AC/DC</translation>
    </message>
    <message>
        <source>DC/AC</source>
        <translation>DC/AC</translation>
    </message>
    <message>
        <source>AC OUT</source>
        <translation>交流输出</translation>
    </message>
    <message>
        <source>BATT</source>
        <translation>电池</translation>
    </message>
    <message>
        <source>Boost or buck</source>
        <translation>升压或降压</translation>
    </message>
</context>
<context>
    <name>DevStatusView</name>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation>UPS 报告 %1 · 实测 %2</translation>
    </message>
    <message>
        <source>measured %1</source>
        <translation>实测 %1</translation>
    </message>
</context>
<context>
    <name>HistoryChartView</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 负载(%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>电池电压(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>温度(℃)</translation>
    </message>
</context>
<context>
    <name>HistoryNotice</name>
    <message>
        <source>the database file is damaged</source>
        <translation>数据库文件已损坏</translation>
    </message>
    <message>
        <source>the database file or its folder is read-only</source>
        <translation>数据库文件或其文件夹为只读</translation>
    </message>
    <message>
        <source>its tables are not the ones this program makes</source>
        <translation>其中的数据表与本程序创建的不同</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>磁盘已满</translation>
    </message>
    <message>
        <source>the database file cannot be opened</source>
        <translation>无法打开数据库文件</translation>
    </message>
    <message>
        <source>the SQLite driver is missing</source>
        <translation>缺少 SQLite 驱动</translation>
    </message>
    <message>
        <source>the database reports an error</source>
        <translation>数据库报告了错误</translation>
    </message>
    <message>
        <source>History cannot be stored: %1. The database file is left as it is: %2</source>
        <translation>无法保存历史记录：%1。数据库文件保持原样：%2</translation>
    </message>
</context>
<context>
    <name>ListModelNutUser</name>
    <message>
        <source>Choose a role: monitor or admin.</source>
        <translation>请选择角色: monitor 或 admin。</translation>
    </message>
    <message>
        <source>An account of this name exists already.</source>
        <translation>同名账户已存在。</translation>
    </message>
    <message>
        <source>This account no longer exists.</source>
        <translation>该账户已不存在。</translation>
    </message>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation>名称为 1 至 32 个字母、数字、点、连字符或下划线。</translation>
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>密码为 1 至 64 个字符, 不含空格、引号、反斜杠或 #。</translation>
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation>无法写入配置文件。</translation>
    </message>
</context>
<context>
    <name>LogAlarmDataForm.ui</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
</context>
<context>
    <name>LogChart</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 负载(%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>电池电压(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>温度(℃)</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 个采样</translation>
    </message>
    <message>
        <source>No samples were stored on these days.</source>
        <translation>这些日期没有保存采样数据。</translation>
    </message>
</context>
<context>
    <name>LogClosedRecordsForm.ui</name>
    <message>
        <source>Application</source>
        <translation>应用程序</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>窗口</translation>
    </message>
</context>
<context>
    <name>LogDevDataForm.ui</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 负载(%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>输入频率(Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>电池电压(V)</translation>
    </message>
    <message>
        <source>temperature(℃ )</source>
        <translation>温度(℃)</translation>
    </message>
</context>
<context>
    <name>LogHealth</name>
    <message>
        <source>Now %1 % of what its first discharges showed</source>
        <translation>现为最初几次放电时容量的 %1 %</translation>
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation>低于 %1 %: 请计划更换电池。</translation>
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation>预计约于 %2 降至 %1 % 以下</translation>
    </message>
    <message>
        <source>Battery health(%)</source>
        <translation>电池健康度(%)</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>趋势</translation>
    </message>
    <message>
        <source>Worn below %1 %</source>
        <translation>低于 %1 % 即老化</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Health (%)</source>
        <translation>健康度 (%)</translation>
    </message>
    <message>
        <source>Load (%)</source>
        <translation>负载 (%)</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>持续时间</translation>
    </message>
    <message>
        <source>The stored discharges cannot be read.</source>
        <translation>无法读取已存储的放电记录。</translation>
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation>电池健康度由最初几次足够完整的放电测得: 市电中断或自检使充满的电池放电至电池电压低。目前尚无此类记录。</translation>
    </message>
</context>
<context>
    <name>LogSelfTest</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>持续时间</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>次数</translation>
    </message>
    <message>
        <source>Load(%)</source>
        <translation>负载(%)</translation>
    </message>
    <message>
        <source>Battery Capacity(%)</source>
        <translation>电池容量(%)</translation>
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation>电池电压降(V)</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
</context>
<context>
    <name>MainDevDataForm.ui</name>
    <message>
        <source>Mimic</source>
        <translation>模拟图</translation>
    </message>
    <message>
        <source>Dial</source>
        <translation>仪表</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>曲线</translation>
    </message>
    <message>
        <source>Info.</source>
        <translation>信息</translation>
    </message>
</context>
<context>
    <name>MainDevInfo</name>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Conneted</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>已断开</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>低</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>电池供电</translation>
    </message>
    <message>
        <source>On Bypass</source>
        <translation>旁路供电</translation>
    </message>
    <message>
        <source>On Mains</source>
        <translation>市电供电</translation>
    </message>
    <message>
        <source>In progress</source>
        <translation>进行中</translation>
    </message>
    <message>
        <source>No</source>
        <translation>无</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation>UPS 输出关闭倒计时</translation>
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>系统关机倒计时</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消关机</translation>
    </message>
    <message>
        <source>Cancel output off</source>
        <translation>取消关闭输出</translation>
    </message>
    <message>
        <source>Boost or buck</source>
        <translation>升压或降压</translation>
    </message>
    <message>
        <source>Countdown, Nothing Set to Happen at Its End</source>
        <translation>倒计时（结束时不执行任何操作）</translation>
    </message>
</context>
<context>
    <name>MainDevInfoForm.ui</name>
    <message>
        <source>Battery Remaining Time</source>
        <translation>电池剩余时间</translation>
    </message>
    <message>
        <source>UPS Communication</source>
        <translation>UPS 通讯</translation>
    </message>
    <message>
        <source>Input Status</source>
        <translation>输入状态</translation>
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation>电池电压</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>Work Status</source>
        <translation>工作状态</translation>
    </message>
    <message>
        <source>UPS Self-Test</source>
        <translation>UPS 自检</translation>
    </message>
</context>
<context>
    <name>MainFooterMenuForm.ui</name>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Schedule Task</source>
        <translation>计划任务</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation>UPS 控制</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>历史数据</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>总览</translation>
    </message>
</context>
<context>
    <name>MainPanelControl</name>
    <message>
        <source>Order has been issued!</source>
        <translation>命令已发出!</translation>
    </message>
    <message>
        <source>The UPS output switches off in about 12 seconds: this computer and everything else on the UPS lose power.</source>
        <translation>UPS 输出将在约 12 秒后关闭: 本计算机及 UPS 上的所有设备都将断电。</translation>
    </message>
    <message>
        <source>The UPS output switches off in %1 minute(s): this computer and everything else on the UPS lose power.</source>
        <translation>UPS 输出将在 %1 分钟后关闭: 本计算机及 UPS 上的所有设备都将断电。</translation>
    </message>
    <message>
        <source>The UPS runs on its battery until the battery is low. Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation>UPS 将由电池供电直至电池电压低。在重新充满电之前, 市电故障时它可能无法维持本计算机的供电。</translation>
    </message>
    <message>
        <source>The UPS runs on its battery for %1 minute(s). Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation>UPS 将由电池供电 %1 分钟。在重新充满电之前, 市电故障时它可能无法维持本计算机的供电。</translation>
    </message>
    <message>
        <source>Issue the order?</source>
        <translation>确定要下达此命令吗?</translation>
    </message>
</context>
<context>
    <name>MainPanelControlForm.ui</name>
    <message>
        <source>UPS Control</source>
        <translation>UPS 控制</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS 自检 10 秒</translation>
    </message>
    <message>
        <source>UPS Self-test to EOD</source>
        <translation>UPS 自检至放电终止</translation>
    </message>
    <message>
        <source>UPS Self-test for(1~99)</source>
        <translation>UPS 自检时长(1~99)</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>取消 UPS 自检</translation>
    </message>
    <message>
        <source>UPS close output in(0~9)</source>
        <translation>UPS 关闭输出延时(0~9)</translation>
    </message>
    <message>
        <source>Cancel UPS close output</source>
        <translation>取消 UPS 关闭输出</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>切换 UPS 蜂鸣器</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>minute(s); 0 is about 12 seconds</source>
        <translation>分钟; 0 约为 12 秒</translation>
    </message>
</context>
<context>
    <name>MainPanelLogData</name>
    <message>
        <source>Operation failed!</source>
        <translation>操作失败!</translation>
    </message>
    <message>
        <source>Operation finished!</source>
        <translation>操作完成!</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>Excel files (*.xlsx)</source>
        <translation>Excel 文件 (*.xlsx)</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>已保存为 %1</translation>
    </message>
    <message>
        <source>The start date is after the end date.</source>
        <translation>开始日期晚于结束日期。</translation>
    </message>
    <message>
        <source>This computer's UPS</source>
        <translation>本机的UPS</translation>
    </message>
</context>
<context>
    <name>MainPanelLogDataForm.ui</name>
    <message>
        <source>Data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Closed Records</source>
        <translation>关闭记录</translation>
    </message>
    <message>
        <source>Self-test</source>
        <translation>自检</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>历史数据</translation>
    </message>
    <message>
        <source>Date Start:</source>
        <translation>开始日期:</translation>
    </message>
    <message>
        <source>Date End:</source>
        <translation>结束日期:</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>曲线</translation>
    </message>
    <message>
        <source>UPS</source>
        <translation>UPS</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>电池健康度</translation>
    </message>
</context>
<context>
    <name>MainPanelOverview</name>
    <message>
        <source>Back to the overview</source>
        <translation>返回总览</translation>
    </message>
    <message>
        <source>This computer</source>
        <translation>本机</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS 自检 10 秒</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>取消 UPS 自检</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>切换 UPS 蜂鸣器</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTask</name>
    <message>
        <source>Are you sure to delete this task?</source>
        <translation>确定要删除此任务吗?</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTaskForm.ui</name>
    <message>
        <source>Schedule Task</source>
        <translation>计划任务</translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation>添加任务</translation>
    </message>
    <message>
        <source>No task yet. A task runs a UPS self-test, switches the UPS on, or shuts this computer and the UPS down at a time you choose, once or every day, week or month. Click "Add Task" to make one.</source>
        <translation>还没有任务。任务可在您选定的时间执行 UPS 自检、开启 UPS, 或关闭本计算机和 UPS, 执行一次或每天、每周、每月执行。点击"添加任务"来创建。</translation>
    </message>
</context>
<context>
    <name>MainPanelSettings</name>
    <message>
        <source>Common Parameters</source>
        <translation>常规参数</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>电子邮件</translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation>关机</translation>
    </message>
    <message>
        <source>Network Sharing</source>
        <translation>网络共享</translation>
    </message>
    <message>
        <source>Watched UPSes</source>
        <translation>监视的UPS</translation>
    </message>
</context>
<context>
    <name>MsgDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>NumberField</name>
    <message>
        <source>The marked number must be from %1 to %2; %3 stays in force.</source>
        <translation>标出的数字必须在 %1 到 %2 之间；仍使用 %3。</translation>
    </message>
</context>
<context>
    <name>NutLink</name>
    <message>
        <source>The UPS server refused the command %1: %2</source>
        <translation>UPS 服务器拒绝了命令 %1: %2</translation>
    </message>
    <message>
        <source>The UPS server is not connected.</source>
        <translation>未连接到 UPS 服务器。</translation>
    </message>
    <message>
        <source>The UPS server does not offer %1 for this UPS.</source>
        <translation>UPS 服务器没有为此 UPS 提供 %1。</translation>
    </message>
</context>
<context>
    <name>NutUserCommand</name>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation>名称为 1 至 32 个字母、数字、点、连字符或下划线。</translation>
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>密码为 1 至 64 个字符, 不含空格、引号、反斜杠或 #。</translation>
    </message>
    <message>
        <source>There is no account %1.</source>
        <translation>没有账户 %1。</translation>
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation>无法写入配置文件。</translation>
    </message>
    <message>
        <source>--nut-user list takes no name.</source>
        <translation>--nut-user list 不接受名称。</translation>
    </message>
    <message>
        <source>Use --nut-user add NAME --role monitor|admin, --nut-user remove NAME or --nut-user list.</source>
        <translation>请使用 --nut-user add 名称 --role monitor|admin、--nut-user remove 名称 或 --nut-user list。</translation>
    </message>
    <message>
        <source>Account %1 removed.</source>
        <translation>账户 %1 已删除。</translation>
    </message>
    <message>
        <source>--nut-user add needs --role monitor or --role admin.</source>
        <translation>--nut-user add 需要 --role monitor 或 --role admin。</translation>
    </message>
    <message>
        <source>Account %1 changed (%2).</source>
        <translation>账户 %1 已修改 (%2)。</translation>
    </message>
    <message>
        <source>Account %1 added (%2).</source>
        <translation>账户 %1 已添加 (%2)。</translation>
    </message>
</context>
<context>
    <name>PopupAddEMailUser</name>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation>电子邮件地址无效!</translation>
    </message>
</context>
<context>
    <name>PopupAddEMailUserForm.ui</name>
    <message>
        <source>E-Mail Receiver:</source>
        <translation>邮件接收人:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTask</name>
    <message>
        <source>Add Schedule Task</source>
        <translation>添加计划任务</translation>
    </message>
    <message>
        <source>Modify Schedule Task</source>
        <translation>修改计划任务</translation>
    </message>
    <message>
        <source>The hour must be from 0 to 23.</source>
        <translation>小时必须在 0 到 23 之间。</translation>
    </message>
    <message>
        <source>The minute must be from 0 to 59.</source>
        <translation>分钟必须在 0 到 59 之间。</translation>
    </message>
    <message>
        <source>The second must be from 0 to 59.</source>
        <translation>秒必须在 0 到 59 之间。</translation>
    </message>
    <message>
        <source>The day of the month must be from 1 to 31.</source>
        <translation>日期必须在 1 到 31 之间。</translation>
    </message>
    <message>
        <source>This date and time have already passed.</source>
        <translation>此日期和时间已经过去。</translation>
    </message>
    <message>
        <source>The task could not be stored.</source>
        <translation>无法保存此任务。</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTaskForm.ui</name>
    <message>
        <source>Task Type:</source>
        <translation>任务类型:</translation>
    </message>
    <message>
        <source>Self-test for 10S</source>
        <translation>自检 10 秒</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>自检至放电终止</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>UPS 开机</translation>
    </message>
    <message>
        <source>Shutdown system and close UPS</source>
        <translation>关闭系统并关闭 UPS</translation>
    </message>
    <message>
        <source>Execute Time:</source>
        <translation>执行时间:</translation>
    </message>
    <message>
        <source>Execute Cyle:</source>
        <translation>执行周期:</translation>
    </message>
    <message>
        <source>One Shoot</source>
        <translation>单次</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>每天</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>每周</translation>
    </message>
    <message>
        <source>Every Month</source>
        <translation>每月</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Execute Date:</source>
        <translation>执行日期:</translation>
    </message>
    <message>
        <source>Execute Day:</source>
        <translation>执行日:</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>星期一</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>星期二</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>星期三</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>星期四</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>星期五</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>星期六</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>星期日</translation>
    </message>
    <message>
        <source>(1~31; the last day in shorter months)</source>
        <translation>(1~31; 天数较少的月份取最后一天)</translation>
    </message>
</context>
<context>
    <name>PopupCurrentAlarm</name>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>No alarm stands now.</source>
        <translation>当前没有告警。</translation>
    </message>
</context>
<context>
    <name>PopupNutUser</name>
    <message>
        <source>1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>1 至 64 个字符, 不含空格、引号、反斜杠或 #。</translation>
    </message>
    <message>
        <source>Leave the password empty to keep it.</source>
        <translation>密码留空则保持不变。</translation>
    </message>
</context>
<context>
    <name>PopupNutUserForm.ui</name>
    <message>
        <source>User name:</source>
        <translation>用户名:</translation>
    </message>
    <message>
        <source>Role:</source>
        <translation>角色:</translation>
    </message>
    <message>
        <source>Monitor (watch the UPS)</source>
        <translation>Monitor (监视 UPS)</translation>
    </message>
    <message>
        <source>Admin (also run UPS commands)</source>
        <translation>Admin (也可控制 UPS)</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSender</name>
    <message>
        <source>User account is invalid!</source>
        <translation>用户帐号无效!</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSenderForm.ui</name>
    <message>
        <source>E-Mail Sender</source>
        <translation>邮件发件人</translation>
    </message>
    <message>
        <source>Account:</source>
        <translation>帐号:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>RuntimeLearner</name>
    <message>
        <source>Battery worn: %1</source>
        <translation>电池老化: %1</translation>
    </message>
    <message>
        <source>The battery now holds %1 % of what its first discharges showed: plan its replacement.</source>
        <translation>电池现仅有最初几次放电时容量的 %1 %: 请计划更换。</translation>
    </message>
    <message>
        <source>Battery of %1, measured by its discharges: %2 % of its first capacity (%3 discharges to battery low learned).</source>
        <translation>%1 的电池, 按放电实测: 为最初容量的 %2 % (已学习 %3 次放电至电池电压低)。</translation>
    </message>
    <message>
        <source>Battery wearing: %1</source>
        <translation>电池老化中: %1</translation>
    </message>
    <message>
        <source>The battery holds %1 % of what its first discharges showed and is on course to fall below 80 % in about %2 days: plan its replacement.</source>
        <translation>电池现为最初几次放电时容量的 %1 %, 预计约 %2 天内降至 80 % 以下: 请计划更换。</translation>
    </message>
</context>
<context>
    <name>ScheduleTaskListDelegate</name>
    <message>
        <source>One Shoot</source>
        <translation>单次</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>每天</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>每周</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>每月</translation>
    </message>
    <message>
        <source>Unkown code: </source>
        <translation>未知代码: </translation>
    </message>
    <message>
        <source>Self-test for 10 secords</source>
        <translation>自检 10 秒</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>自检至放电终止</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>UPS 开机</translation>
    </message>
    <message>
        <source>System shutdown and close UPS</source>
        <translation>系统关机并关闭 UPS</translation>
    </message>
    <message>
        <source>every Sunday</source>
        <translation>每星期日</translation>
    </message>
    <message>
        <source>every Monday</source>
        <translation>每星期一</translation>
    </message>
    <message>
        <source>every Tuesday</source>
        <translation>每星期二</translation>
    </message>
    <message>
        <source>every Wednesday</source>
        <translation>每星期三</translation>
    </message>
    <message>
        <source>every Thursday</source>
        <translation>每星期四</translation>
    </message>
    <message>
        <source>every Friday</source>
        <translation>每星期五</translation>
    </message>
    <message>
        <source>every Saturday</source>
        <translation>每星期六</translation>
    </message>
    <message>
        <source>on day %1 of each month</source>
        <translation>每月 %1 日</translation>
    </message>
</context>
<context>
    <name>SerialLink</name>
    <message>
        <source>Port %1 not found</source>
        <translation>找不到端口 %1</translation>
    </message>
    <message>
        <source>Permission denied: add yourself to %1</source>
        <translation>权限不足: 请把自己加入 %1 组</translation>
    </message>
    <message>
        <source>Port %1 cannot be opened: %2</source>
        <translation>无法打开端口 %1: %2</translation>
    </message>
</context>
<context>
    <name>ServiceEMail</name>
    <message>
        <source>From Quelta</source>
        <translation>来自 Quelta</translation>
    </message>
    <message>
        <source>mail rejected</source>
        <translation>邮件被拒收</translation>
    </message>
    <message>
        <source>UPS Alarm</source>
        <translation>UPS 告警</translation>
    </message>
    <message>
        <source>Daily Report</source>
        <translation>日报</translation>
    </message>
    <message>
        <source>UPS daily report.</source>
        <translation>UPS 日报。</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 负载(%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>输入频率(Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>电池电压(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>温度(℃)</translation>
    </message>
    <message>
        <source>Test E-Mail</source>
        <translation>测试邮件</translation>
    </message>
    <message>
        <source>This is a test E-Mail!</source>
        <translation>这是一封测试邮件!</translation>
    </message>
    <message>
        <source>connection failed</source>
        <translation>连接失败</translation>
    </message>
    <message>
        <source>encryption failed</source>
        <translation>加密失败</translation>
    </message>
    <message>
        <source>authentication failed</source>
        <translation>认证失败</translation>
    </message>
    <message>
        <source>no server address</source>
        <translation>未设置服务器地址</translation>
    </message>
    <message>
        <source>no server port</source>
        <translation>未设置服务器端口</translation>
    </message>
    <message>
        <source>no sender address (the test mail goes to it)</source>
        <translation>未设置发件人地址 (测试邮件发往该地址)</translation>
    </message>
    <message>
        <source>no login account</source>
        <translation>未设置登录帐号</translation>
    </message>
</context>
<context>
    <name>ServiceNetwork</name>
    <message>
        <source>Name at least one address to listen on (127.0.0.1 for this computer only, 0.0.0.0 and :: for every network).</source>
        <translation>请至少填写一个监听地址（127.0.0.1 仅本机，0.0.0.0 和 :: 为所有网络）。</translation>
    </message>
    <message>
        <source>Not an IP address: %1</source>
        <translation>不是 IP 地址：%1</translation>
    </message>
    <message>
        <source>Not a network (such as 192.168.1.0/24 or fd00::/8): %1</source>
        <translation>不是网络（例如 192.168.1.0/24 或 fd00::/8）：%1</translation>
    </message>
    <message>
        <source>A UPS name holds letters, digits and . _ - @ only: %1</source>
        <translation>UPS 名称只能包含字母、数字和 . _ - @：%1</translation>
    </message>
</context>
<context>
    <name>ServiceNotification</name>
    <message>
        <source>%1 minutes</source>
        <translation>%1 分钟</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>Communication restored</source>
        <translation>通讯已恢复</translation>
    </message>
    <message>
        <source>Quelta is talking to the UPS again.</source>
        <translation>Quelta 已重新与 UPS 通讯。</translation>
    </message>
    <message>
        <source>Communication lost</source>
        <translation>通讯中断</translation>
    </message>
    <message>
        <source>Quelta cannot reach the UPS: it no longer sees a mains failure.</source>
        <translation>Quelta 无法连接 UPS: 将无法发现市电故障。</translation>
    </message>
    <message>
        <source>The UPS is running on its battery.</source>
        <translation>UPS 正在由电池供电。</translation>
    </message>
    <message>
        <source>Battery charge: %1 %.</source>
        <translation>电池电量: %1 %。</translation>
    </message>
    <message>
        <source>Mains failure</source>
        <translation>市电故障</translation>
    </message>
    <message>
        <source>Mains returned</source>
        <translation>市电已恢复</translation>
    </message>
    <message>
        <source>The UPS is running on the mains again.</source>
        <translation>UPS 已恢复由市电供电。</translation>
    </message>
    <message>
        <source>Battery low</source>
        <translation>电池电量低</translation>
    </message>
    <message>
        <source>The UPS battery is low: the computer may lose power soon.</source>
        <translation>UPS 电池电量低: 电脑可能很快断电。</translation>
    </message>
    <message>
        <source>UPS fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>The UPS reports a fault; the alarm list tells more.</source>
        <translation>UPS 报告故障, 详情请查看告警列表。</translation>
    </message>
    <message>
        <source>Shutdown countdown started</source>
        <translation>关机倒计时已开始</translation>
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation>关机倒计时已取消</translation>
    </message>
    <message>
        <source>The computer stays on.</source>
        <translation>电脑将保持运行。</translation>
    </message>
    <message>
        <source>Passed.</source>
        <translation>通过。</translation>
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation>失败: 电池电量低。</translation>
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation>失败: UPS 报告故障。</translation>
    </message>
    <message>
        <source>The battery voltage fell by %1 V in %2.</source>
        <translation>电池电压在 %2 内下降了 %1 V。</translation>
    </message>
    <message>
        <source>Self-test finished</source>
        <translation>自检结束</translation>
    </message>
    <message>
        <source>Shutdown countdown shortened</source>
        <translation>关机倒计时已缩短</translation>
    </message>
    <message>
        <source>The computer shuts down in %1, at %2.</source>
        <translation>电脑将在 %1 后, 于 %2 关机。</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消关机</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The countdown ends in %1, at %2. Nothing is set to happen then: the computer stays on.</source>
        <translation>倒计时将在 %1 后（%2）结束。届时不执行任何操作：计算机保持开启。</translation>
    </message>
    <message>
        <source>The UPS battery is low: the UPS may switch off soon.</source>
        <translation>UPS 电池电量低: UPS 可能很快关闭。</translation>
    </message>
    <message>
        <source>(1 change since the last notice: %1 at %2)</source>
        <translation>(自上次通知以来变化 1 次: 于 %2 %1)</translation>
    </message>
    <message>
        <source>(%1 changes since the last notice, between %2 and %3)</source>
        <translation>(自上次通知以来变化 %1 次, 在 %2 至 %3 之间)</translation>
    </message>
    <message>
        <source>Measured at this load, it lasts about %1.</source>
        <translation>按实测, 在此负载下约可维持 %1。</translation>
    </message>
</context>
<context>
    <name>ServiceShutdown</name>
    <message>
        <source>the system refused to power it off</source>
        <translation>系统拒绝关机</translation>
    </message>
    <message>
        <source>the system offers no way to power it off</source>
        <translation>系统没有提供关机的途径</translation>
    </message>
    <message>
        <source>the power-off request failed</source>
        <translation>关机请求失败</translation>
    </message>
    <message>
        <source>The computer could not be shut down: %1. Save your work and shut it down by hand.</source>
        <translation>无法关闭电脑: %1。请保存您的工作并手动关机。</translation>
    </message>
    <message>
        <source>The shutdown can no longer be cancelled: the other computers on the UPS have been told to shut down, or the power-off has been asked for.</source>
        <translation>关机已无法取消: 已通知该 UPS 上的其他电脑关机, 或已请求关闭电源。</translation>
    </message>
    <message>
        <source>Supplies lost: %1.</source>
        <translation>已失去的供电：%1。</translation>
    </message>
    <message>
        <source>The computer was not shut down</source>
        <translation>计算机未能关闭</translation>
    </message>
</context>
<context>
    <name>SettingKeys</name>
    <message>
        <source>true or false</source>
        <translation>true 或 false</translation>
    </message>
    <message>
        <source>a whole number from %1 to %2</source>
        <translation>%1 到 %2 之间的整数</translation>
    </message>
    <message>
        <source>one of %1</source>
        <translation>%1 之一</translation>
    </message>
    <message>
        <source>any text</source>
        <translation>任意文本</translation>
    </message>
    <message>
        <source>a time of day such as 07:30:00</source>
        <translation>07:30:00 这样的时间</translation>
    </message>
    <message>
        <source>a day such as 2026-12-31, or nothing</source>
        <translation>2026-12-31 这样的日期，或留空</translation>
    </message>
    <message>
        <source>a host name or an IP address, or nothing</source>
        <translation>主机名或 IP 地址，或留空</translation>
    </message>
    <message>
        <source>IP addresses separated by commas, such as 127.0.0.1,::1</source>
        <translation>以逗号分隔的 IP 地址，例如 127.0.0.1,::1</translation>
    </message>
    <message>
        <source>IP addresses or networks separated by commas, such as 192.168.1.0/24,fd00::/8</source>
        <translation>以逗号分隔的 IP 地址或网络，例如 192.168.1.0/24,fd00::/8</translation>
    </message>
    <message>
        <source>names separated by commas</source>
        <translation>以逗号分隔的名称</translation>
    </message>
    <message>
        <source>a path</source>
        <translation>一个路径</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Settings file damaged</source>
        <translation>设置文件已损坏</translation>
    </message>
    <message>
        <source>The settings file was damaged and could not be kept aside.</source>
        <translation>设置文件已损坏，且无法另存。</translation>
    </message>
    <message>
        <source>The settings file was damaged; it is kept as %1.</source>
        <translation>设置文件已损坏，已另存为 %1。</translation>
    </message>
    <message>
        <source>The new one holds the settings that could be read from it (%1) and the defaults for the rest: check the settings, above all the shutdown and the UPS link.</source>
        <translation>新文件保留了其中能读取的设置（%1 项），其余恢复默认值：请检查设置，尤其是关机和 UPS 连接。</translation>
    </message>
    <message>
        <source>The settings file %1 was changed and does not read whole (%2). The lines that read are taken; the others keep the settings in force. Repair it: 'config check' lists the problems.</source>
        <translation>设置文件 %1 已被更改且无法完整读取（%2）。可读取的行已采用；其余保持当前生效的设置。请修复它：'config check' 列出问题。</translation>
    </message>
    <message>
        <source>The settings in force were written in its place.</source>
        <translation>当前生效的设置已写入其位置。</translation>
    </message>
</context>
<context>
    <name>SettingsCommon</name>
    <message>
        <source>Operation finished!</source>
        <translation>操作完成!</translation>
    </message>
    <message>
        <source>Are you sure to restore settings?!</source>
        <translation>确定要恢复默认设置吗?!</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Configuration files (*.conf)</source>
        <translation>配置文件 (*.conf)</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>Operation failed!</source>
        <translation>操作失败!</translation>
    </message>
    <message>
        <source>No data from the server: %1</source>
        <translation>服务器没有数据: %1</translation>
    </message>
    <message>
        <source>Certificates (*.pem *.crt)</source>
        <translation>证书 (*.pem *.crt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation>从 UPS 首次应答之日起计算。</translation>
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation>自 %1 起已到更换期限。</translation>
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation>将于 %1 到更换期限。</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>已保存为 %1</translation>
    </message>
</context>
<context>
    <name>SettingsCommonForm.ui</name>
    <message>
        <source>Base Parameter</source>
        <translation>基本参数</translation>
    </message>
    <message>
        <source>UPS Communication Type:</source>
        <translation>UPS 通讯方式:</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>COM port:</source>
        <translation>COM 端口:</translation>
    </message>
    <message>
        <source>Baud rate:</source>
        <translation>波特率:</translation>
    </message>
    <message>
        <source>Record data interval(Sec):</source>
        <translation>数据记录间隔(秒):</translation>
    </message>
    <message>
        <source>Version Information</source>
        <translation>版本信息</translation>
    </message>
    <message>
        <source>Quelta version:</source>
        <translation>Quelta 版本:</translation>
    </message>
    <message>
        <source>USB HID version:</source>
        <translation>USB HID 版本:</translation>
    </message>
    <message>
        <source>Settings Management</source>
        <translation>设置管理</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>语言:</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>中文简体 </source>
        <translation>中文简体 </translation>
    </message>
    <message>
        <source>Français</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>Following System Language</source>
        <translation>跟随系统语言</translation>
    </message>
    <message>
        <source>Settings Import:</source>
        <translation>导入设置:</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Settings Export:</source>
        <translation>导出设置:</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>恢复默认设置</translation>
    </message>
    <message>
        <source>Network (NUT)</source>
        <translation>网络 (NUT)</translation>
    </message>
    <message>
        <source>UPS Server (NUT)</source>
        <translation>UPS 服务器 (NUT)</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>服务器:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口:</translation>
    </message>
    <message>
        <source>UPS name:</source>
        <translation>UPS 名称:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>用户:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码:</translation>
    </message>
    <message>
        <source>CA file:</source>
        <translation>CA 文件:</translation>
    </message>
    <message>
        <source>System certificates</source>
        <translation>系统证书</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>允许未加密的连接</translation>
    </message>
    <message>
        <source>Another program holds the UPS port, the Quelta service for example. Quelta opens it once it is free.</source>
        <translation>另一个程序（例如 Quelta 服务）正在占用 UPS 端口。端口空闲后 Quelta 会打开它。</translation>
    </message>
    <message>
        <source>Start with the desktop</source>
        <translation>随桌面启动</translation>
    </message>
    <message>
        <source>Desktop notifications</source>
        <translation>桌面通知</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>电池</translation>
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation>电池安装日期:</translation>
    </message>
    <message>
        <source>Replace after (months):</source>
        <translation>更换周期(月):</translation>
    </message>
    <message>
        <source>繁體中文</source>
        <translation>繁體中文</translation>
    </message>
</context>
<context>
    <name>SettingsEMail</name>
    <message>
        <source>Sending test E-Mail...</source>
        <translation>正在发送测试邮件...</translation>
    </message>
    <message>
        <source>E-Mail has been sent.</source>
        <translation>邮件已发送。</translation>
    </message>
    <message>
        <source>Failed to send test E-Mail!</source>
        <translation>测试邮件发送失败!</translation>
    </message>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation>电子邮件地址无效!</translation>
    </message>
</context>
<context>
    <name>SettingsEMailForm.ui</name>
    <message>
        <source>E-Mail</source>
        <translation>电子邮件</translation>
    </message>
    <message>
        <source>Sender Information</source>
        <translation>发件人信息</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>发件人名称:</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>发件人地址:</translation>
    </message>
    <message>
        <source>Server Address:</source>
        <translation>服务器地址:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>服务器端口:</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>Encrypt:</source>
        <translation>加密:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>STARTTLS</source>
        <translation>STARTTLS</translation>
    </message>
    <message>
        <source>SSL/TLS</source>
        <translation>SSL/TLS</translation>
    </message>
    <message>
        <source>Account authentication:</source>
        <translation>帐号认证:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Send Test Mail</source>
        <translation>发送测试邮件</translation>
    </message>
    <message>
        <source>E-mail Address</source>
        <translation>电子邮件地址</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Daily Report Send Time(HH:MM:SS): </source>
        <translation>日报发送时间(HH:MM:SS): </translation>
    </message>
</context>
<context>
    <name>SettingsFileExchange</name>
    <message>
        <source>The e-mail recipients could not be stored (%1); the old list is kept.</source>
        <translation>无法保存电子邮件收件人（%1），保留原有列表。</translation>
    </message>
    <message>
        <source>The network server's accounts could not be stored; the old ones are kept.</source>
        <translation>无法保存网络服务器的账户，保留原有账户。</translation>
    </message>
    <message>
        <source>The protection is switched off: no shutdown on a mains failure.</source>
        <translation>保护将关闭：市电故障时不再关机。</translation>
    </message>
    <message>
        <source>Network sharing is switched off: the computers that watch this UPS over the network lose it.</source>
        <translation>网络共享将关闭：通过网络监视此 UPS 的计算机将失去它。</translation>
    </message>
    <message>
        <source>E-mail is switched off.</source>
        <translation>邮件将关闭。</translation>
    </message>
    <message>
        <source>Every e-mail recipient is deleted (%1).</source>
        <translation>所有邮件收件人将被删除（%1）。</translation>
    </message>
    <message>
        <source>The language, desktop notifications, the battery replacement interval and every shutdown, e-mail and network sharing setting go back to their defaults.</source>
        <translation>语言、桌面通知、电池更换周期以及所有关机、邮件和网络共享设置将恢复默认值。</translation>
    </message>
    <message>
        <source>Kept: the link to the UPS, the network accounts, the scheduled tasks and the battery installation date.</source>
        <translation>保留：UPS 连接、网络账户、计划任务和电池安装日期。</translation>
    </message>
    <message>
        <source>The watched UPSes could not be stored; the old list is kept.</source>
        <translation>无法保存监视的UPS列表，保留原列表。</translation>
    </message>
    <message>
        <source>Kept too: the watched UPSes (%1).</source>
        <translation>同样保留: 监视的 UPS (%1)。</translation>
    </message>
</context>
<context>
    <name>SettingsNetwork</name>
    <message>
        <source>Off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Serving the UPS on port %1</source>
        <translation>正在端口 %1 上共享 UPS</translation>
    </message>
    <message>
        <source>TLS certificate</source>
        <translation>TLS 证书</translation>
    </message>
    <message>
        <source>PEM files (*.pem *.crt *.key)</source>
        <translation>PEM 文件 (*.pem *.crt *.key)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>TLS key</source>
        <translation>TLS 密钥</translation>
    </message>
    <message>
        <source>Name the UPS for the clients.</source>
        <translation>请为客户端填写 UPS 名称。</translation>
    </message>
    <message>
        <source>Switched off: cannot listen on %1</source>
        <translation>已关闭：无法监听 %1</translation>
    </message>
    <message>
        <source>Cannot listen on %1</source>
        <translation>无法监听 %1</translation>
    </message>
    <message>
        <source>Starting...</source>
        <translation>正在启动...</translation>
    </message>
</context>
<context>
    <name>SettingsNetworkForm.ui</name>
    <message>
        <source>Network Sharing</source>
        <translation>网络共享</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>服务器</translation>
    </message>
    <message>
        <source>Listen on:</source>
        <translation>监听地址:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口:</translation>
    </message>
    <message>
        <source>Allowed networks:</source>
        <translation>允许的网络:</translation>
    </message>
    <message>
        <source>UPS name:</source>
        <translation>UPS 名称:</translation>
    </message>
    <message>
        <source>Other names:</source>
        <translation>其他名称:</translation>
    </message>
    <message>
        <source>Wait for clients:</source>
        <translation>等待客户端:</translation>
    </message>
    <message>
        <source>second(s)</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Clients at most:</source>
        <translation>最多客户端:</translation>
    </message>
    <message>
        <source>TLS certificate:</source>
        <translation>TLS 证书:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>TLS key:</source>
        <translation>TLS 密钥:</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>admin</source>
        <translation>admin</translation>
    </message>
    <message>
        <source>monitor</source>
        <translation>monitor</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Connected Clients</source>
        <translation>已连接的客户端</translation>
    </message>
    <message>
        <source>logged in</source>
        <translation>已登录</translation>
    </message>
    <message>
        <source>No client connected</source>
        <translation>没有客户端连接</translation>
    </message>
    <message>
        <source>Allowed clients read the UPS without an account, as with NUT. An account is for logging in (a computer that shuts down with this UPS) and for commands.</source>
        <translation>允许的客户端无需账户即可读取 UPS，与 NUT 相同。账户用于登录（随此 UPS 关机的计算机）和发送命令。</translation>
    </message>
</context>
<context>
    <name>SettingsShutdown</name>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation>没有名为 %1 的监视UPS：它从不被判定，计为能够为本机供电。</translation>
    </message>
    <message>
        <source>Protection is on, but nothing is set to happen at the end of the countdown: the computer stays on. Choose "Shutdown OS", a command file or the UPS switch-off.</source>
        <translation>保护已开启，但倒计时结束时不执行任何操作：计算机保持开启。请选择“关闭操作系统”、命令文件或关闭UPS输出。</translation>
    </message>
</context>
<context>
    <name>SettingsShutdownForm.ui</name>
    <message>
        <source>Quelta power control</source>
        <translation>Quelta 电源控制</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system in(0~2880)</source>
        <translation>市电故障后, 系统关机延时(0~2880)</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>If low battery occurred, shutdown system in(0~600)</source>
        <translation>电池电压低时, 系统关机延时(0~600)</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system when battery capacity lower than(1~100)</source>
        <translation>市电故障后, 电池容量低于(1~100)时关闭系统</translation>
    </message>
    <message>
        <source>Shutdown OS</source>
        <translation>关闭操作系统</translation>
    </message>
    <message>
        <source>Command file to execute:</source>
        <translation>执行命令文件:</translation>
    </message>
    <message>
        <source>Command file:</source>
        <translation>命令文件:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>Max. execution time:</source>
        <translation>最长执行时间:</translation>
    </message>
    <message>
        <source>UPS Power Off</source>
        <translation>UPS 关机</translation>
    </message>
    <message>
        <source>Times need (1~9)</source>
        <translation>所需时间(1~9)</translation>
    </message>
    <message>
        <source>minute(s) before UPS turns off</source>
        <translation>分钟后关闭 UPS</translation>
    </message>
    <message>
        <source>On battery, count the battery as low when less backup time is left than(0~1440, 0: off)</source>
        <translation>电池供电时, 剩余后备时间少于此值即视为电池电压低(0~1440, 0: 关闭)</translation>
    </message>
</context>
<context>
    <name>SettingsWatch</name>
    <message>
        <source>Watched UPSes</source>
        <translation>监视的UPS</translation>
    </message>
    <message>
        <source>every UPS of %1</source>
        <translation>%1 的全部UPS</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>None: only this computer's UPS is watched.</source>
        <translation>无：只监视本机的UPS。</translation>
    </message>
    <message>
        <source>Add a UPS or a whole server</source>
        <translation>添加一台UPS或整个服务器</translation>
    </message>
    <message>
        <source>Shown name</source>
        <translation>显示名称</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>服务器</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>UPS name (* for every UPS of the server)</source>
        <translation>UPS名称（* 表示服务器的全部UPS）</translation>
    </message>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>CA file</source>
        <translation>CA证书文件</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>允许未加密的连接</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Supplies of this computer</source>
        <translation>本机的供电</translation>
    </message>
    <message>
        <source>UPSes that feed it (shown names, local for its own)</source>
        <translation>为本机供电的UPS（显示名称，local 表示本机的UPS）</translation>
    </message>
    <message>
        <source>At least this many must be able to feed it</source>
        <translation>至少须有几台能够供电</translation>
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation>没有名为 %1 的监视UPS：它从不被判定，计为能够为本机供电。</translation>
    </message>
</context>
<context>
    <name>StatusCommand</name>
    <message>
        <source>on mains</source>
        <translation>市电供电</translation>
    </message>
    <message>
        <source>on battery</source>
        <translation>电池供电</translation>
    </message>
    <message>
        <source>battery low</source>
        <translation>电池电量低</translation>
    </message>
    <message>
        <source>on bypass</source>
        <translation>旁路供电</translation>
    </message>
    <message>
        <source>lowering a high mains voltage</source>
        <translation>正在降低过高的市电电压</translation>
    </message>
    <message>
        <source>raising a low mains voltage</source>
        <translation>正在提升过低的市电电压</translation>
    </message>
    <message>
        <source>self-test running</source>
        <translation>正在自检</translation>
    </message>
    <message>
        <source>output off</source>
        <translation>输出关闭</translation>
    </message>
    <message>
        <source>forced shutdown</source>
        <translation>强制关机</translation>
    </message>
    <message>
        <source>alarm</source>
        <translation>报警</translation>
    </message>
    <message>
        <source>Quelta does not run on the program folder %1.</source>
        <translation>Quelta 未在程序文件夹 %1 上运行。</translation>
    </message>
    <message>
        <source>Quelta runs on the program folder %1, but this user may not ask it: run this as its user or as a member of its group.</source>
        <translation>Quelta 正在程序文件夹 %1 上运行，但此用户无权查询：请以其用户或其组的成员身份运行此命令。</translation>
    </message>
    <message>
        <source>Quelta on the program folder %1 did not answer.</source>
        <translation>程序文件夹 %1 上的 Quelta 没有应答。</translation>
    </message>
    <message>
        <source>Quelta on the program folder %1 watches no UPS.</source>
        <translation>程序文件夹 %1 上的 Quelta 未监视任何 UPS。</translation>
    </message>
    <message>
        <source>%1: no UPS answers</source>
        <translation>%1：没有 UPS 应答</translation>
    </message>
    <message>
        <source>settings: %1</source>
        <translation>设置：%1</translation>
    </message>
    <message>
        <source>battery health: %1 %</source>
        <translation>电池健康度: %1 %</translation>
    </message>
    <message>
        <source>measured backup time: %1 s (%2 to %3 s)</source>
        <translation>实测续航: %1 秒 (%2 至 %3 秒)</translation>
    </message>
    <message>
        <source>measured backup time: none (%1)</source>
        <translation>实测续航: 无 (%1)</translation>
    </message>
</context>
<context>
    <name>TableModelAlarm</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
</context>
<context>
    <name>TableModelDevData</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 负载(%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>输入频率(Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>电池电压(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>温度(℃)</translation>
    </message>
    <message>
        <source>Per-minute means</source>
        <translation>每分钟平均值</translation>
    </message>
</context>
<context>
    <name>TableModelSelfTest</name>
    <message>
        <source>Passed</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>Failed: battery low</source>
        <translation>失败：电池电压低</translation>
    </message>
    <message>
        <source>Failed: UPS fault</source>
        <translation>失败：UPS 故障</translation>
    </message>
</context>
<context>
    <name>UpsCard</name>
    <message>
        <source>This computer</source>
        <translation>本机</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>电量</translation>
    </message>
    <message>
        <source>Runtime</source>
        <translation>后备时间</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>负载</translation>
    </message>
    <message>
        <source>Conneted</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>已断开</translation>
    </message>
</context>
<context>
    <name>UpsStateLook</name>
    <message>
        <source>UPS Normal</source>
        <translation>UPS 正常</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>电池供电</translation>
    </message>
    <message>
        <source>Battery Low</source>
        <translation>电池电量低</translation>
    </message>
    <message>
        <source>Output Off</source>
        <translation>输出已关闭</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>Communication Lost</source>
        <translation>通讯中断</translation>
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>UPS 未连接</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation>端口被占用</translation>
    </message>
    <message>
        <source>Output off pending</source>
        <translation>输出即将关闭</translation>
    </message>
    <message>
        <source>Output off in %1</source>
        <translation>%1 后关闭输出</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Day</source>
        <translation>日</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>周</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>月</translation>
    </message>
    <message>
        <source>Measurements</source>
        <translation>测量值</translation>
    </message>
    <message>
        <source>No current alarm.</source>
        <translation>当前没有告警。</translation>
    </message>
    <message>
        <source>Last self-tests</source>
        <translation>最近的自检</translation>
    </message>
    <message>
        <source>No self-test was recorded.</source>
        <translation>没有记录到自检。</translation>
    </message>
    <message>
        <source>No samples were stored in this time.</source>
        <translation>这段时间内没有存储数据。</translation>
    </message>
    <message>
        <source>Log in</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>退出登录</translation>
    </message>
    <message>
        <source>UPS commands need a network account with the admin role.</source>
        <translation>UPS 命令需要具有 admin 角色的网络账户。</translation>
    </message>
    <message>
        <source>UPS commands are offered over HTTPS only.</source>
        <translation>UPS 命令仅通过 HTTPS 提供。</translation>
    </message>
    <message>
        <source>Wrong user name or password.</source>
        <translation>用户名或密码错误。</translation>
    </message>
    <message>
        <source>Not done: %1</source>
        <translation>未执行: %1</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>实时</translation>
    </message>
    <message>
        <source>Reconnecting...</source>
        <translation>正在重新连接...</translation>
    </message>
    <message>
        <source>No UPS of this name is known.</source>
        <translation>没有此名称的 UPS。</translation>
    </message>
    <message>
        <source>1 sample</source>
        <translation>1 个采样</translation>
    </message>
    <message>
        <source>Supplies lost: %1</source>
        <translation>已失去的供电：%1</translation>
    </message>
    <message>
        <source>%1 of %2 needed can still feed</source>
        <translation>所需 %2 个中仍有 %1 个可以供电</translation>
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>UPS 未连接</translation>
    </message>
    <message>
        <source>UPS Normal</source>
        <translation>UPS 正常</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>电池供电</translation>
    </message>
    <message>
        <source>Battery Low</source>
        <translation>电池电量低</translation>
    </message>
    <message>
        <source>Output off in %1</source>
        <translation>%1 后关闭输出</translation>
    </message>
    <message>
        <source>Output Off</source>
        <translation>输出已关闭</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>Communication Lost</source>
        <translation>通讯中断</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation>端口被占用</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 负载(%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>电池电压(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>温度(℃)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>输入频率(Hz)</translation>
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation>电池容量</translation>
    </message>
    <message>
        <source>Battery Remaining Time</source>
        <translation>电池剩余时间</translation>
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>系统关机倒计时</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation>UPS 输出关闭倒计时</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消关机</translation>
    </message>
    <message>
        <source>UPS Manufacturer:</source>
        <translation>UPS 制造商:</translation>
    </message>
    <message>
        <source>UPS Model:</source>
        <translation>UPS 型号:</translation>
    </message>
    <message>
        <source>UPS Version:</source>
        <translation>UPS 版本:</translation>
    </message>
    <message>
        <source>UPS SN:</source>
        <translation>UPS 序列号:</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>持续时间</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>次数</translation>
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation>电池电压降(V)</translation>
    </message>
    <message>
        <source>Passed.</source>
        <translation>通过。</translation>
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation>失败: 电池电量低。</translation>
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation>失败: UPS 报告故障。</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>电池</translation>
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation>电池安装日期:</translation>
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation>从 UPS 首次应答之日起计算。</translation>
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation>将于 %1 到更换期限。</translation>
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation>自 %1 起已到更换期限。</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 个采样</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>总览</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS 自检 10 秒</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>取消 UPS 自检</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>切换 UPS 蜂鸣器</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation>UPS 控制</translation>
    </message>
    <message>
        <source>Order has been issued!</source>
        <translation>命令已发出!</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation>用户名:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码:</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>历史数据</translation>
    </message>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation>UPS 报告 %1 · 实测 %2</translation>
    </message>
    <message>
        <source>measured %1</source>
        <translation>实测 %1</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>电池健康度</translation>
    </message>
    <message>
        <source>Battery health by discharge</source>
        <translation>各次放电的电池健康度</translation>
    </message>
    <message>
        <source>Health (%)</source>
        <translation>健康度 (%)</translation>
    </message>
    <message>
        <source>Load (%)</source>
        <translation>负载 (%)</translation>
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation>预计约于 %2 降至 %1 % 以下</translation>
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation>低于 %1 %: 请计划更换电池。</translation>
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation>电池健康度由最初几次足够完整的放电测得: 市电中断或自检使充满的电池放电至电池电压低。目前尚无此类记录。</translation>
    </message>
    <message>
        <source>Output off pending</source>
        <translation>输出即将关闭</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shutdown event activated!</source>
        <translation>关机事件已触发!</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Quitting stops the protection: the computer will not be shut down when the mains fails. Quit anyway?</source>
        <translation>退出将停止保护: 市电故障时电脑将不会被关闭。仍要退出吗?</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消关机</translation>
    </message>
    <message>
        <source>Cancel output off</source>
        <translation>取消关闭输出</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
</TS>
