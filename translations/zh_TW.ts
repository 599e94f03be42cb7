<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>Alarm</name>
    <message>
        <source>Communication lost</source>
        <translation>通訊中斷</translation>
    </message>
    <message>
        <source>Communication established</source>
        <translation>通訊建立</translation>
    </message>
    <message>
        <source>Input voltage fault</source>
        <translation>輸入電壓故障</translation>
    </message>
    <message>
        <source>Input voltage returns to normal</source>
        <translation>輸入電壓恢復正常</translation>
    </message>
    <message>
        <source>Battery voltage low</source>
        <translation>電池電壓低</translation>
    </message>
    <message>
        <source>Battery voltage returns to normal</source>
        <translation>電池電壓恢復正常</translation>
    </message>
    <message>
        <source>Bypass supply</source>
        <translation>旁路供電</translation>
    </message>
    <message>
        <source>Rectifier supply</source>
        <translation>整流器供電</translation>
    </message>
    <message>
        <source>UPS fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>UPS returns to normal</source>
        <translation>UPS 恢復正常</translation>
    </message>
    <message>
        <source>UPS backup</source>
        <translation>UPS 電池逆變供電</translation>
    </message>
    <message>
        <source>UPS online</source>
        <translation>UPS 在線</translation>
    </message>
    <message>
        <source>In self-test</source>
        <translation>正在自檢</translation>
    </message>
    <message>
        <source>Self-test finished</source>
        <translation>自檢結束</translation>
    </message>
    <message>
        <source>In power off</source>
        <translation>正在關機</translation>
    </message>
    <message>
        <source>UPS returns from power off</source>
        <translation>UPS 從關機狀態恢復</translation>
    </message>
    <message>
        <source>Buzzer open</source>
        <translation>蜂鳴器開啟</translation>
    </message>
    <message>
        <source>Buzzer silent</source>
        <translation>蜂鳴器靜音</translation>
    </message>
    <message>
        <source>Boost or buck activated</source>
        <translation>升壓或降壓已啟動</translation>
    </message>
    <message>
        <source>UPS returns from boost or buck</source>
        <translation>UPS 退出升壓或降壓</translation>
    </message>
    <message>
        <source>On boost</source>
        <translation>升壓中</translation>
    </message>
    <message>
        <source>On Buck</source>
        <translation>降壓中</translation>
    </message>
    <message>
        <source>Input phase sequence error</source>
        <translation>輸入相序錯誤</translation>
    </message>
    <message>
        <source>Input voltage high</source>
        <translation>輸入電壓高</translation>
    </message>
    <message>
        <source>Input voltage low</source>
        <translation>輸入電壓低</translation>
    </message>
    <message>
        <source>Input voltage abnormal</source>
        <translation>輸入電壓異常</translation>
    </message>
    <message>
        <source>Input N missing</source>
        <translation>輸入零線缺失</translation>
    </message>
    <message>
        <source>Input frequency abnormal</source>
        <translation>輸入頻率異常</translation>
    </message>
    <message>
        <source>+DC bus over voltage</source>
        <translation>正直流母線過壓</translation>
    </message>
    <message>
        <source>-DC bus over voltage</source>
        <translation>負直流母線過壓</translation>
    </message>
    <message>
        <source>DC bus OV HW CKT</source>
        <translation>直流母線過壓硬體保護</translation>
    </message>
    <message>
        <source>DC Bus over voltage</source>
        <translation>直流母線過壓</translation>
    </message>
    <message>
        <source>+DC bus low voltage(output on)</source>
        <translation>正直流母線欠壓(輸出開啟)</translation>
    </message>
    <message>
        <source>-DC bus low voltage(output on)</source>
        <translation>負直流母線欠壓(輸出開啟)</translation>
    </message>
    <message>
        <source>+DC bus voltage low(output off)</source>
        <translation>正直流母線欠壓(輸出關閉)</translation>
    </message>
    <message>
        <source>-DC bus voltage low(output off)</source>
        <translation>負直流母線欠壓(輸出關閉)</translation>
    </message>
    <message>
        <source>DC bus voltage low</source>
        <translation>直流母線電壓低</translation>
    </message>
    <message>
        <source>DC bus delta</source>
        <translation>直流母線不平衡</translation>
    </message>
    <message>
        <source>DC bus delta(line)</source>
        <translation>直流母線不平衡(市電)</translation>
    </message>
    <message>
        <source>DC bus delta(on battery)</source>
        <translation>直流母線不平衡(電池)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(line)</source>
        <translation>正直流母線軟啟動失敗(市電)</translation>
    </message>
    <message>
        <source>-DC Bus soft start fail(Line)</source>
        <translation>負直流母線軟啟動失敗(市電)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(battery)</source>
        <translation>正直流母線軟啟動失敗(電池)</translation>
    </message>
    <message>
        <source>-DC bus soft start fail(battery)</source>
        <translation>負直流母線軟啟動失敗(電池)</translation>
    </message>
    <message>
        <source>+DC bus discharge fail</source>
        <translation>正直流母線放電失敗</translation>
    </message>
    <message>
        <source>-DC bus discharge fail</source>
        <translation>負直流母線放電失敗</translation>
    </message>
    <message>
        <source>Rectifier fault</source>
        <translation>整流器故障</translation>
    </message>
    <message>
        <source>Rectifier over current</source>
        <translation>整流器過流</translation>
    </message>
    <message>
        <source>Inverter output low</source>
        <translation>逆變器輸出電壓低</translation>
    </message>
    <message>
        <source>Inverter output high</source>
        <translation>逆變器輸出電壓高</translation>
    </message>
    <message>
        <source>Inverter hardware CKT</source>
        <translation>逆變器硬體保護</translation>
    </message>
    <message>
        <source>Inverter fault</source>
        <translation>逆變器故障</translation>
    </message>
    <message>
        <source>Output relay weld close</source>
        <translation>輸出繼電器黏連</translation>
    </message>
    <message>
        <source>Output relay weld open</source>
        <translation>輸出繼電器開路</translation>
    </message>
    <message>
        <source>Inverter overload</source>
        <translation>逆變器過載</translation>
    </message>
    <message>
        <source>Inverter overload time out</source>
        <translation>逆變器過載超時</translation>
    </message>
    <message>
        <source>Inverter DC over voltage</source>
        <translation>逆變器直流分量過壓</translation>
    </message>
    <message>
        <source>Output meas mismatch</source>
        <translation>輸出測量值不一致</translation>
    </message>
    <message>
        <source>Inverter soft start fail</source>
        <translation>逆變器軟啟動失敗</translation>
    </message>
    <message>
        <source>Soft start fail</source>
        <translation>軟啟動失敗</translation>
    </message>
    <message>
        <source>Output short circuit</source>
        <translation>輸出短路</translation>
    </message>
    <message>
        <source>Output over voltage</source>
        <translation>輸出過壓</translation>
    </message>
    <message>
        <source>Output severe over voltage</source>
        <translation>輸出嚴重過壓</translation>
    </message>
    <message>
        <source>Output low voltage</source>
        <translation>輸出欠壓</translation>
    </message>
    <message>
        <source>Output overload</source>
        <translation>輸出過載</translation>
    </message>
    <message>
        <source>Battery reversed connection</source>
        <translation>電池反接</translation>
    </message>
    <message>
        <source>+Battery over voltage</source>
        <translation>正電池組過壓</translation>
    </message>
    <message>
        <source>-Battery over voltage</source>
        <translation>負電池組過壓</translation>
    </message>
    <message>
        <source>+Battery disconnected</source>
        <translation>正電池組未連接</translation>
    </message>
    <message>
        <source>-Battery disconnected</source>
        <translation>負電池組未連接</translation>
    </message>
    <message>
        <source>+Battery low pre alarm</source>
        <translation>正電池組低壓預告警</translation>
    </message>
    <message>
        <source>-Battery low pre alarm</source>
        <translation>負電池組低壓預告警</translation>
    </message>
    <message>
        <source>+Battery low voltage</source>
        <translation>正電池組欠壓</translation>
    </message>
    <message>
        <source>-Battery low voltage</source>
        <translation>負電池組欠壓</translation>
    </message>
    <message>
        <source>RBC needs replacement</source>
        <translation>電池需要更換</translation>
    </message>
    <message>
        <source>+Charger error</source>
        <translation>正充電器錯誤</translation>
    </message>
    <message>
        <source>-Charger error</source>
        <translation>負充電器錯誤</translation>
    </message>
    <message>
        <source>+Charger over voltage</source>
        <translation>正充電器過壓</translation>
    </message>
    <message>
        <source>-Charger over voltage</source>
        <translation>負充電器過壓</translation>
    </message>
    <message>
        <source>+Charger low voltage</source>
        <translation>正充電器欠壓</translation>
    </message>
    <message>
        <source>-Charger low voltage</source>
        <translation>負充電器欠壓</translation>
    </message>
    <message>
        <source>Charger meas mismatch</source>
        <translation>充電器測量值不一致</translation>
    </message>
    <message>
        <source>Bypass phase sequence error</source>
        <translation>旁路相序錯誤</translation>
    </message>
    <message>
        <source>Bypass over current</source>
        <translation>旁路過流</translation>
    </message>
    <message>
        <source>Bypass voltage abnormal</source>
        <translation>旁路電壓異常</translation>
    </message>
    <message>
        <source>Bypass frequency abnormal</source>
        <translation>旁路頻率異常</translation>
    </message>
    <message>
        <source>Bypass overload</source>
        <translation>旁路過載</translation>
    </message>
    <message>
        <source>Bypass overload time out</source>
        <translation>旁路過載超時</translation>
    </message>
    <message>
        <source>PDU activated</source>
        <translation>PDU 已啟動</translation>
    </message>
    <message>
        <source>Bypass not available</source>
        <translation>旁路不可用</translation>
    </message>
    <message>
        <source>Bypass unable to trace</source>
        <translation>旁路無法跟蹤</translation>
    </message>
    <message>
        <source>Battery over temperature critical</source>
        <translation>電池溫度嚴重過高</translation>
    </message>
    <message>
        <source>Battery low temperature</source>
        <translation>電池溫度低</translation>
    </message>
    <message>
        <source>Battery over temperature(&gt;50℃ charging)</source>
        <translation>電池過溫(充電時&gt;50℃)</translation>
    </message>
    <message>
        <source>Battery temp sensor disconnected</source>
        <translation>電池溫度傳感器未連接</translation>
    </message>
    <message>
        <source>Fan inoperative</source>
        <translation>風扇不工作</translation>
    </message>
    <message>
        <source>Fan logic power supply fault</source>
        <translation>風扇邏輯電源故障</translation>
    </message>
    <message>
        <source>Fuse blown</source>
        <translation>保險絲熔斷</translation>
    </message>
    <message>
        <source>Heat sink 1 over temperature</source>
        <translation>散熱器 1 過溫</translation>
    </message>
    <message>
        <source>Heat sink 2 over temperature</source>
        <translation>散熱器 2 過溫</translation>
    </message>
    <message>
        <source>Inverter over temperature</source>
        <translation>逆變器過溫</translation>
    </message>
    <message>
        <source>Ambient over temperature</source>
        <translation>環境溫度過高</translation>
    </message>
    <message>
        <source>Ambient low temperature</source>
        <translation>環境溫度過低</translation>
    </message>
    <message>
        <source>Bypass SCR/relay short circuit</source>
        <translation>旁路 SCR/繼電器短路</translation>
    </message>
    <message>
        <source>Bypass SCR/relay open circuit</source>
        <translation>旁路 SCR/繼電器開路</translation>
    </message>
    <message>
        <source>Bkfeed relay weld close</source>
        <translation>反灌繼電器黏連</translation>
    </message>
    <message>
        <source>Bkfeed relay weld open</source>
        <translation>反灌繼電器開路</translation>
    </message>
    <message>
        <source>Logic power supply error</source>
        <translation>邏輯電源錯誤</translation>
    </message>
    <message>
        <source>EEPROM fault</source>
        <translation>EEPROM 故障</translation>
    </message>
    <message>
        <source>RAM error</source>
        <translation>RAM 錯誤</translation>
    </message>
    <message>
        <source>Parallel communication error</source>
        <translation>並機通訊錯誤</translation>
    </message>
    <message>
        <source>Internal communication error</source>
        <translation>內部通訊錯誤</translation>
    </message>
    <message>
        <source>CPLD fault</source>
        <translation>CPLD 故障</translation>
    </message>
    <message>
        <source>MCU reseted</source>
        <translation>MCU 已復位</translation>
    </message>
    <message>
        <source>Bkfeed relay locked</source>
        <translation>反灌繼電器鎖定</translation>
    </message>
    <message>
        <source>BMS communication error</source>
        <translation>BMS 通訊錯誤</translation>
    </message>
    <message>
        <source>Parallel relay error</source>
        <translation>並機繼電器錯誤</translation>
    </message>
    <message>
        <source>Parallel connect error</source>
        <translation>並機連接錯誤</translation>
    </message>
    <message>
        <source>Parallel current sharing error</source>
        <translation>並機均流錯誤</translation>
    </message>
    <message>
        <source>Parallel overload</source>
        <translation>並機過載</translation>
    </message>
    <message>
        <source>Button error</source>
        <translation>按鍵錯誤</translation>
    </message>
    <message>
        <source>EPO activated</source>
        <translation>緊急關機(EPO)已觸發</translation>
    </message>
    <message>
        <source>Firmware mismatch</source>
        <translation>韌體不匹配</translation>
    </message>
    <message>
        <source>Firmware upgrading</source>
        <translation>韌體升級中</translation>
    </message>
    <message>
        <source>AVR is running too long</source>
        <translation>AVR 運行時間過長</translation>
    </message>
    <message>
        <source>AVR time is up</source>
        <translation>AVR 時間已到</translation>
    </message>
    <message>
        <source>Battery load time is too long</source>
        <translation>電池帶載時間過長</translation>
    </message>
    <message>
        <source>Rectifier over temperature</source>
        <translation>整流器過溫</translation>
    </message>
    <message>
        <source>Rectifier parallel signal error</source>
        <translation>整流器並機信號錯誤</translation>
    </message>
    <message>
        <source>Rectifier logic power supply error</source>
        <translation>整流器邏輯電源錯誤</translation>
    </message>
    <message>
        <source>Input SCR inoperable</source>
        <translation>輸入 SCR 不工作</translation>
    </message>
    <message>
        <source>Discharge SCR error</source>
        <translation>放電 SCR 錯誤</translation>
    </message>
    <message>
        <source>Charge SCR error</source>
        <translation>充電 SCR 錯誤</translation>
    </message>
    <message>
        <source>Fan inoperable</source>
        <translation>風扇不工作</translation>
    </message>
    <message>
        <source>Fan power supply error</source>
        <translation>風扇電源錯誤</translation>
    </message>
    <message>
        <source>Charger over temperature</source>
        <translation>充電器過溫</translation>
    </message>
    <message>
        <source>Rectifier DC bus soft start error</source>
        <translation>整流器直流母線軟啟動錯誤</translation>
    </message>
    <message>
        <source>Charger fault</source>
        <translation>充電器故障</translation>
    </message>
    <message>
        <source>PFC communication fault</source>
        <translation>PFC 通訊故障</translation>
    </message>
    <message>
        <source>Rectifier initializing fault</source>
        <translation>整流器初始化故障</translation>
    </message>
    <message>
        <source>Rectifier power block not connected</source>
        <translation>整流器功率模組未連接</translation>
    </message>
    <message>
        <source>Battery charging over voltage</source>
        <translation>電池充電過壓</translation>
    </message>
    <message>
        <source>Rectifier CPLD clock source fault</source>
        <translation>整流器 CPLD 時鐘源故障</translation>
    </message>
    <message>
        <source>Charger over current</source>
        <translation>充電器過流</translation>
    </message>
    <message>
        <source>Inverter IGBT short circuit</source>
        <translation>逆變器 IGBT 短路</translation>
    </message>
    <message>
        <source>Inverter relay short circuit</source>
        <translation>逆變器繼電器短路</translation>
    </message>
    <message>
        <source>Inverter relay broken</source>
        <translation>逆變器繼電器損壞</translation>
    </message>
    <message>
        <source>Inverter parallel signal fault</source>
        <translation>逆變器並機信號故障</translation>
    </message>
    <message>
        <source>Inverter communication fault</source>
        <translation>逆變器通訊故障</translation>
    </message>
    <message>
        <source>Inverter initializing fault</source>
        <translation>逆變器初始化故障</translation>
    </message>
    <message>
        <source>Inverter self-test error</source>
        <translation>逆變器自檢錯誤</translation>
    </message>
    <message>
        <source>Inverter DC offset over voltage</source>
        <translation>逆變器直流偏置過壓</translation>
    </message>
    <message>
        <source>Inverter DC bus abnormal</source>
        <translation>逆變器直流母線異常</translation>
    </message>
    <message>
        <source>Inverter PM not connected</source>
        <translation>逆變器功率模組未連接</translation>
    </message>
    <message>
        <source>Inverter APS fault</source>
        <translation>逆變器輔助電源故障</translation>
    </message>
    <message>
        <source>Inverter load sharing error</source>
        <translation>逆變器均流錯誤</translation>
    </message>
    <message>
        <source>Inverter parallel wire connection error</source>
        <translation>逆變器並機線連接錯誤</translation>
    </message>
    <message>
        <source>UPS mode incorrect</source>
        <translation>UPS 模式不正確</translation>
    </message>
    <message>
        <source>Inverter fuse blown</source>
        <translation>逆變器保險絲熔斷</translation>
    </message>
    <message>
        <source>Inverter CPLD clock source fault</source>
        <translation>逆變器 CPLD 時鐘源故障</translation>
    </message>
    <message>
        <source>Bypass SCR short circuit</source>
        <translation>旁路 SCR 短路</translation>
    </message>
    <message>
        <source>Bypass SCR broken</source>
        <translation>旁路 SCR 損壞</translation>
    </message>
    <message>
        <source>Backfeed on bypass</source>
        <translation>旁路反灌</translation>
    </message>
    <message>
        <source>Input wire error</source>
        <translation>輸入接線錯誤</translation>
    </message>
    <message>
        <source>Input N missing detection</source>
        <translation>偵測到輸入零線缺失</translation>
    </message>
    <message>
        <source>Battery over voltage</source>
        <translation>電池過壓</translation>
    </message>
    <message>
        <source>Battery EOD warning</source>
        <translation>電池放電終止預警</translation>
    </message>
    <message>
        <source>Battery reversed</source>
        <translation>電池反接</translation>
    </message>
    <message>
        <source>Battery EOD</source>
        <translation>電池放電終止</translation>
    </message>
    <message>
        <source>No battery</source>
        <translation>無電池</translation>
    </message>
    <message>
        <source>Input Reversed</source>
        <translation>輸入反接</translation>
    </message>
    <message>
        <source>Input frequency out of tol.</source>
        <translation>輸入頻率超出允許範圍</translation>
    </message>
    <message>
        <source>Input voltage out of tol.</source>
        <translation>輸入電壓超出允許範圍</translation>
    </message>
    <message>
        <source>PFC communication abnormal</source>
        <translation>PFC 通訊異常</translation>
    </message>
    <message>
        <source>Input unavailable</source>
        <translation>輸入不可用</translation>
    </message>
    <message>
        <source>Rectifier setting incorrect</source>
        <translation>整流器設定不正確</translation>
    </message>
    <message>
        <source>Mains unable to trace in 1:1 mode</source>
        <translation>1:1 模式下無法跟蹤市電</translation>
    </message>
    <message>
        <source>Mains relay short circuit</source>
        <translation>市電繼電器短路</translation>
    </message>
    <message>
        <source>Mains relay broken</source>
        <translation>市電繼電器損壞</translation>
    </message>
    <message>
        <source>Inverter parallel signal abnormal</source>
        <translation>逆變器並機信號異常</translation>
    </message>
    <message>
        <source>Inverter out of sync.</source>
        <translation>逆變器失去同步</translation>
    </message>
    <message>
        <source>Output abnormal</source>
        <translation>輸出異常</translation>
    </message>
    <message>
        <source>Inverter communication abnormal</source>
        <translation>逆變器通訊異常</translation>
    </message>
    <message>
        <source>Inverter setting incorrect</source>
        <translation>逆變器設定不正確</translation>
    </message>
    <message>
        <source>Bypass input relay short circuit</source>
        <translation>旁路輸入繼電器短路</translation>
    </message>
    <message>
        <source>Bypass input relay broken</source>
        <translation>旁路輸入繼電器損壞</translation>
    </message>
    <message>
        <source>Bypass unavailable</source>
        <translation>旁路不可用</translation>
    </message>
    <message>
        <source>Bypass switch too frequent</source>
        <translation>旁路切換過於頻繁</translation>
    </message>
    <message>
        <source>Bypass reversed</source>
        <translation>旁路反接</translation>
    </message>
    <message>
        <source>Battery self-test error</source>
        <translation>電池自檢錯誤</translation>
    </message>
    <message>
        <source>No battery temperature sensor</source>
        <translation>無電池溫度傳感器</translation>
    </message>
    <message>
        <source>Battery over temperature</source>
        <translation>電池過溫</translation>
    </message>
    <message>
        <source>Monitor EEPROM error</source>
        <translation>監控 EEPROM 錯誤</translation>
    </message>
    <message>
        <source>Parallel CAN abnormal</source>
        <translation>並機 CAN 異常</translation>
    </message>
    <message>
        <source>Ambient temperature &gt;40℃ or &lt; -20℃</source>
        <translation>環境溫度 &gt;40℃ 或 &lt; -20℃</translation>
    </message>
    <message>
        <source>Battery temperature low</source>
        <translation>電池溫度低</translation>
    </message>
    <message>
        <source>Need to check battery</source>
        <translation>需要檢查電池</translation>
    </message>
    <message>
        <source>Returned from: </source>
        <translation>恢復自: </translation>
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation>關機倒計時已取消</translation>
    </message>
    <message>
        <source>UPS output-off cancelled</source>
        <translation>UPS 輸出關閉已取消</translation>
    </message>
</context>
<context>
    <name>BatteryAge</name>
    <message>
        <source>Battery replacement due</source>
        <translation>電池需要更換</translation>
    </message>
    <message>
        <source>The UPS battery was installed on %1 and is due for replacement since %2. An old battery may not carry the computer through the next mains failure.</source>
        <translation>UPS 電池安裝於 %1, 自 %2 起已到更換期限。老化的電池可能無法在下次市電故障時支撐電腦運行。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and end.</source>
        <translation>顯示此幫助並退出。</translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation>顯示版本並退出。</translation>
    </message>
    <message>
        <source>Run without the window and the tray: monitoring, alarms, samples, the shutdown countdown, mail and scheduled tasks go on. Log lines also go to standard error.</source>
        <translation>不帶窗口和托盤圖示運行：監控、報警、取樣、關機倒計時、郵件和排程任務照常進行。日誌也輸出到標準錯誤。</translation>
    </message>
    <message>
        <source>Keep settings, history and logs in DIR (the same as the environment variable QUELTA_HOME).</source>
        <translation>將設定、歷史記錄和日誌保存在 DIR 中（與環境變量 QUELTA_HOME 相同）。</translation>
    </message>
    <message>
        <source>Unexpected argument '%1'.</source>
        <translation>意外的參數“%1”。</translation>
    </message>
    <message>
        <source>--home needs a folder.</source>
        <translation>--home 需要一個資料夾。</translation>
    </message>
    <message>
        <source>Manage the accounts of the network server and end: 'add NAME --role monitor|admin' (the password is read from standard input), 'remove NAME' or 'list'. This works while the program runs on the same folder; it takes the change at once.</source>
        <translation>管理網路伺服器的帳戶並退出：“add 名稱 --role monitor|admin”（密碼從標準輸入讀取）、“remove 名稱”或“list”。程式在同一資料夾上運行時也可使用，程式會立即採用更改。</translation>
    </message>
    <message>
        <source>The role of an account added with --nut-user: monitor or admin.</source>
        <translation>用 --nut-user 添加的帳戶的角色：monitor 或 admin。</translation>
    </message>
    <message>
        <source>--role goes with --nut-user add.</source>
        <translation>--role 需與 --nut-user add 一起使用。</translation>
    </message>
    <message>
        <source>--json goes with status.</source>
        <translation>--json 需與 status 一起使用。</translation>
    </message>
    <message>
        <source>With status: the state as one JSON document.</source>
        <translation>與 status 一起使用：以一個 JSON 文件輸出狀態。</translation>
    </message>
    <message>
        <source>Try '%1 --help' for the options.</source>
        <translation>使用“%1 --help”查看選項。</translation>
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
        <translation>不運行程式，而是執行以下命令之一：
config list：列出每項設定及其值；
config get 鍵：一項設定的值；
config set 鍵 值：更改一項設定；
config set-password 鍵：從標準輸入的第一行讀取密碼（SMTP 登入的密碼、網路鏈路的密碼）；
config check：列出設定檔案的每個問題及其行號；沒有問題時退出狀態為 0，有問題時為 2；
status：正在運行的程式的 UPS 狀態；退出狀態 0 市電供電，1 電池供電，2 電池電量低、故障或輸出關閉，3 無 UPS 或程式未運行。
正在運行的程式會立即採用更改的設定。</translation>
    </message>
    <message>
        <source>Watches UPSes and shuts the computer down in order when the power fails.</source>
        <translation>監視 UPS，停電時有序關閉電腦。</translation>
    </message>
</context>
<context>
    <name>ConfigCommand</name>
    <message>
        <source>(set)</source>
        <translation>（已設定）</translation>
    </message>
    <message>
        <source>Cannot read %1: %2.</source>
        <translation>無法讀取 %1：%2。</translation>
    </message>
    <message>
        <source>There is no setting %1; config list shows them all.</source>
        <translation>沒有設定 %1；config list 會列出所有設定。</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>無法寫入 %1。</translation>
    </message>
    <message>
        <source>%1 is no password; set it with config set.</source>
        <translation>%1 不是密碼；請用 config set 設定。</translation>
    </message>
    <message>
        <source>Password %1 cleared.</source>
        <translation>密碼 %1 已清除。</translation>
    </message>
    <message>
        <source>Password %1 set.</source>
        <translation>密碼 %1 已設定。</translation>
    </message>
    <message>
        <source>%1 is a password: set it with config set-password %1, which reads it from standard input.</source>
        <translation>%1 是密碼：請用 config set-password %1 設定，它從標準輸入讀取密碼。</translation>
    </message>
    <message>
        <source>%1 takes %2, not '%3'.</source>
        <translation>%1 應為%2，而不是“%3”。</translation>
    </message>
    <message>
        <source>The settings file %1 does not read whole; nothing is written to it. Repair it: 'config check' lists the problems; edit the file, or put back an earlier copy of it.</source>
        <translation>設定檔案 %1 無法完整讀取；不會向其寫入任何內容。請修復它：'config check' 列出問題；编輯該檔案，或放回它較早的副本。</translation>
    </message>
    <message>
        <source>Use config list, config get KEY, config set KEY VALUE, config set-password KEY or config check.</source>
        <translation>請使用 config list、config get 鍵、config set 鍵 值、config set-password 鍵 或 config check。</translation>
    </message>
    <message>
        <source>There is no settings file %1 yet; the defaults are in force.</source>
        <translation>尚無設定檔案 %1；使用預設值。</translation>
    </message>
    <message>
        <source>%1 reads whole; every value is one its setting takes.</source>
        <translation>%1 可完整讀取；每個值都是其設定可接受的值。</translation>
    </message>
    <message>
        <source>%1 does not read whole: a line that does not read shows its default; 'config check' lists the problems.</source>
        <translation>%1 無法完整讀取：無法讀取的行顯示其預設值；'config check' 列出問題。</translation>
    </message>
    <message>
        <source>A password is %1 characters at most.</source>
        <translation>密碼最多 %1 個字元。</translation>
    </message>
    <message>
        <source>A password is a line of text without control characters.</source>
        <translation>密碼須為不含控制字元的一行文本。</translation>
    </message>
</context>
<context>
    <name>DevComm</name>
    <message>
        <source>None</source>
        <translation>無</translation>
    </message>
</context>
<context>
    <name>DevDataChartPage</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
</context>
<context>
    <name>DevDataDialPage</name>
    <message>
        <source>UPS Load</source>
        <translation>UPS 負載</translation>
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation>電池容量</translation>
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
        <translation>UPS 型號:</translation>
    </message>
    <message>
        <source>UPS Version:</source>
        <translation>UPS 版本:</translation>
    </message>
    <message>
        <source>UPS SN:</source>
        <translation>UPS 序號:</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>電池健康度</translation>
    </message>
</context>
<context>
    <name>DevDataItemPage</name>
    <message>
        <source>Input Voltage</source>
        <translation>輸入電壓</translation>
    </message>
    <message>
        <source>Output Voltage</source>
        <translation>輸出電壓</translation>
    </message>
    <message>
        <source>Input Frequncy</source>
        <translation>輸入頻率</translation>
    </message>
    <message>
        <source>UPS Load</source>
        <translation>UPS 負載</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>溫度</translation>
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation>電池電壓</translation>
    </message>
</context>
<context>
    <name>DevDataMimicPage</name>
    <message>
        <source>On Bypass</source>
        <translation>旁路供電</translation>
    </message>
    <message>
        <source>On Mains</source>
        <translation>市電供電</translation>
    </message>
    <message>
        <source>UPS</source>
        <translation>UPS</translation>
    </message>
    <message>
        <source>AC IN</source>
        <translation>交流輸入</translation>
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
        <translation>交流輸出</translation>
    </message>
    <message>
        <source>BATT</source>
        <translation>電池</translation>
    </message>
    <message>
        <source>Boost or buck</source>
        <translation>升壓或降壓</translation>
    </message>
</context>
<context>
    <name>DevStatusView</name>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation>UPS 報告 %1 · 實測 %2</translation>
    </message>
    <message>
        <source>measured %1</source>
        <translation>實測 %1</translation>
    </message>
</context>
<context>
    <name>HistoryChartView</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 負載(%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>電池電壓(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
</context>
<context>
    <name>HistoryNotice</name>
    <message>
        <source>the database file is damaged</source>
        <translation>資料庫檔案已損壞</translation>
    </message>
    <message>
        <source>the database file or its folder is read-only</source>
        <translation>資料庫檔案或其資料夾為唯讀</translation>
    </message>
    <message>
        <source>its tables are not the ones this program makes</source>
        <translation>其中的資料表與本程式創建的不同</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>磁碟已滿</translation>
    </message>
    <message>
        <source>the database file cannot be opened</source>
        <translation>無法打開資料庫檔案</translation>
    </message>
    <message>
        <source>the SQLite driver is missing</source>
        <translation>缺少 SQLite 驅動</translation>
    </message>
    <message>
        <source>the database reports an error</source>
        <translation>資料庫報告了錯誤</translation>
    </message>
    <message>
        <source>History cannot be stored: %1. The database file is left as it is: %2</source>
        <translation>無法保存歷史記錄：%1。資料庫檔案保持原樣：%2</translation>
    </message>
</context>
<context>
    <name>ListModelNutUser</name>
    <message>
        <source>Choose a role: monitor or admin.</source>
        <translation>請選擇角色: monitor 或 admin。</translation>
    </message>
    <message>
        <source>An account of this name exists already.</source>
        <translation>同名帳戶已存在。</translation>
    </message>
    <message>
        <source>This account no longer exists.</source>
        <translation>該帳戶已不存在。</translation>
    </message>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation>名稱為 1 至 32 個字母、數字、點、連字元或底線。</translation>
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>密碼為 1 至 64 個字元, 不含空格、引號、反斜線或 #。</translation>
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation>無法寫入設定檔。</translation>
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
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 負載(%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>電池電壓(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 個取樣</translation>
    </message>
    <message>
        <source>No samples were stored on these days.</source>
        <translation>這些日期沒有保存取樣資料。</translation>
    </message>
</context>
<context>
    <name>LogClosedRecordsForm.ui</name>
    <message>
        <source>Application</source>
        <translation>應用程式</translation>
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
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 負載(%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>輸入頻率(Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>電池電壓(V)</translation>
    </message>
    <message>
        <source>temperature(℃ )</source>
        <translation>溫度(℃)</translation>
    </message>
</context>
<context>
    <name>LogHealth</name>
    <message>
        <source>Now %1 % of what its first discharges showed</source>
        <translation>現為最初幾次放電時容量的 %1 %</translation>
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation>低於 %1 %: 請計劃更換電池。</translation>
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation>預計約於 %2 降至 %1 % 以下</translation>
    </message>
    <message>
        <source>Battery health(%)</source>
        <translation>電池健康度(%)</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>趋勢</translation>
    </message>
    <message>
        <source>Worn below %1 %</source>
        <translation>低於 %1 % 即老化</translation>
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
        <translation>負載 (%)</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>持續時間</translation>
    </message>
    <message>
        <source>The stored discharges cannot be read.</source>
        <translation>無法讀取已存儲的放電記錄。</translation>
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation>電池健康度由最初幾次足夠完整的放電測得: 市電中斷或自檢使充滿的電池放電至電池電壓低。目前尚無此類記錄。</translation>
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
        <translation>持續時間</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>次數</translation>
    </message>
    <message>
        <source>Load(%)</source>
        <translation>負載(%)</translation>
    </message>
    <message>
        <source>Battery Capacity(%)</source>
        <translation>電池容量(%)</translation>
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation>電池電壓降(V)</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>結果</translation>
    </message>
</context>
<context>
    <name>MainDevDataForm.ui</name>
    <message>
        <source>Mimic</source>
        <translation>模擬圖</translation>
    </message>
    <message>
        <source>Dial</source>
        <translation>儀表</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>資料</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>曲線圖</translation>
    </message>
    <message>
        <source>Info.</source>
        <translation>資訊</translation>
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
        <translation>已連接</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>已斷開</translation>
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
        <translation>電池供電</translation>
    </message>
    <message>
        <source>On Bypass</source>
        <translation>旁路供電</translation>
    </message>
    <message>
        <source>On Mains</source>
        <translation>市電供電</translation>
    </message>
    <message>
        <source>In progress</source>
        <translation>進行中</translation>
    </message>
    <message>
        <source>No</source>
        <translation>無</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation>UPS 輸出關閉倒計時</translation>
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>系統關機倒計時</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消關機</translation>
    </message>
    <message>
        <source>Cancel output off</source>
        <translation>取消關閉輸出</translation>
    </message>
    <message>
        <source>Boost or buck</source>
        <translation>升壓或降壓</translation>
    </message>
    <message>
        <source>Countdown, Nothing Set to Happen at Its End</source>
        <translation>倒計時（結束時不執行任何操作）</translation>
    </message>
</context>
<context>
    <name>MainDevInfoForm.ui</name>
    <message>
        <source>Battery Remaining Time</source>
        <translation>電池剩餘時間</translation>
    </message>
    <message>
        <source>UPS Communication</source>
        <translation>UPS 通訊</translation>
    </message>
    <message>
        <source>Input Status</source>
        <translation>輸入狀態</translation>
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation>電池電壓</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>Work Status</source>
        <translation>工作狀態</translation>
    </message>
    <message>
        <source>UPS Self-Test</source>
        <translation>UPS 自檢</translation>
    </message>
</context>
<context>
    <name>MainFooterMenuForm.ui</name>
    <message>
        <source>Device</source>
        <translation>設備</translation>
    </message>
    <message>
        <source>Schedule Task</source>
        <translation>排程任務</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation>UPS 控制</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>歷史資料</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>總覽</translation>
    </message>
</context>
<context>
    <name>MainPanelControl</name>
    <message>
        <source>Order has been issued!</source>
        <translation>命令已發出!</translation>
    </message>
    <message>
        <source>The UPS output switches off in about 12 seconds: this computer and everything else on the UPS lose power.</source>
        <translation>UPS 輸出將在約 12 秒後關閉: 本電腦及 UPS 上的所有設備都將斷電。</translation>
    </message>
    <message>
        <source>The UPS output switches off in %1 minute(s): this computer and everything else on the UPS lose power.</source>
        <translation>UPS 輸出將在 %1 分鐘後關閉: 本電腦及 UPS 上的所有設備都將斷電。</translation>
    </message>
    <message>
        <source>The UPS runs on its battery until the battery is low. Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation>UPS 將由電池供電直至電池電壓低。在重新充滿電之前, 市電故障時它可能無法維持本電腦的供電。</translation>
    </message>
    <message>
        <source>The UPS runs on its battery for %1 minute(s). Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation>UPS 將由電池供電 %1 分鐘。在重新充滿電之前, 市電故障時它可能無法維持本電腦的供電。</translation>
    </message>
    <message>
        <source>Issue the order?</source>
        <translation>確定要下達此命令嗎?</translation>
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
        <translation>UPS 自檢 10 秒</translation>
    </message>
    <message>
        <source>UPS Self-test to EOD</source>
        <translation>UPS 自檢至放電終止</translation>
    </message>
    <message>
        <source>UPS Self-test for(1~99)</source>
        <translation>UPS 自檢時長(1~99)</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>取消 UPS 自檢</translation>
    </message>
    <message>
        <source>UPS close output in(0~9)</source>
        <translation>UPS 關閉輸出延時(0~9)</translation>
    </message>
    <message>
        <source>Cancel UPS close output</source>
        <translation>取消 UPS 關閉輸出</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>切換 UPS 蜂鳴器</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>分鐘</translation>
    </message>
    <message>
        <source>minute(s); 0 is about 12 seconds</source>
        <translation>分鐘; 0 約為 12 秒</translation>
    </message>
</context>
<context>
    <name>MainPanelLogData</name>
    <message>
        <source>Operation failed!</source>
        <translation>操作失敗!</translation>
    </message>
    <message>
        <source>Operation finished!</source>
        <translation>操作完成!</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存為...</translation>
    </message>
    <message>
        <source>Excel files (*.xlsx)</source>
        <translation>Excel 檔案 (*.xlsx)</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>已保存為 %1</translation>
    </message>
    <message>
        <source>The start date is after the end date.</source>
        <translation>開始日期晚於結束日期。</translation>
    </message>
    <message>
        <source>This computer's UPS</source>
        <translation>本機的UPS</translation>
    </message>
</context>
<context>
    <name>MainPanelLogDataForm.ui</name>
    <message>
        <source>Data</source>
        <translation>資料</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Closed Records</source>
        <translation>關閉記錄</translation>
    </message>
    <message>
        <source>Self-test</source>
        <translation>自檢</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>歷史資料</translation>
    </message>
    <message>
        <source>Date Start:</source>
        <translation>開始日期:</translation>
    </message>
    <message>
        <source>Date End:</source>
        <translation>結束日期:</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>曲線圖</translation>
    </message>
    <message>
        <source>UPS</source>
        <translation>UPS</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>電池健康度</translation>
    </message>
</context>
<context>
    <name>MainPanelOverview</name>
    <message>
        <source>Back to the overview</source>
        <translation>返回總覽</translation>
    </message>
    <message>
        <source>This computer</source>
        <translation>本機</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS 自檢 10 秒</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>取消 UPS 自檢</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>切換 UPS 蜂鳴器</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTask</name>
    <message>
        <source>Are you sure to delete this task?</source>
        <translation>確定要刪除此任務嗎?</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTaskForm.ui</name>
    <message>
        <source>Schedule Task</source>
        <translation>排程任務</translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation>添加任務</translation>
    </message>
    <message>
        <source>No task yet. A task runs a UPS self-test, switches the UPS on, or shuts this computer and the UPS down at a time you choose, once or every day, week or month. Click "Add Task" to make one.</source>
        <translation>還沒有任務。任務可在您選定的時間執行 UPS 自檢、開啟 UPS, 或關閉本電腦和 UPS, 執行一次或每天、每周、每月執行。點擊"添加任務"來創建。</translation>
    </message>
</context>
<context>
    <name>MainPanelSettings</name>
    <message>
        <source>Common Parameters</source>
        <translation>常規參數</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>電子郵件</translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation>關機</translation>
    </message>
    <message>
        <source>Network Sharing</source>
        <translation>網路共享</translation>
    </message>
    <message>
        <source>Watched UPSes</source>
        <translation>監視的UPS</translation>
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
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>NumberField</name>
    <message>
        <source>The marked number must be from %1 to %2; %3 stays in force.</source>
        <translation>標出的數字必須在 %1 到 %2 之間；仍使用 %3。</translation>
    </message>
</context>
<context>
    <name>NutLink</name>
    <message>
        <source>The UPS server refused the command %1: %2</source>
        <translation>UPS 伺服器拒絕了命令 %1: %2</translation>
    </message>
    <message>
        <source>The UPS server is not connected.</source>
        <translation>未連接到 UPS 伺服器。</translation>
    </message>
    <message>
        <source>The UPS server does not offer %1 for this UPS.</source>
        <translation>UPS 伺服器沒有為此 UPS 提供 %1。</translation>
    </message>
</context>
<context>
    <name>NutUserCommand</name>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation>名稱為 1 至 32 個字母、數字、點、連字元或底線。</translation>
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>密碼為 1 至 64 個字元, 不含空格、引號、反斜線或 #。</translation>
    </message>
    <message>
        <source>There is no account %1.</source>
        <translation>沒有帳戶 %1。</translation>
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation>無法寫入設定檔。</translation>
    </message>
    <message>
        <source>--nut-user list takes no name.</source>
        <translation>--nut-user list 不接受名稱。</translation>
    </message>
    <message>
        <source>Use --nut-user add NAME --role monitor|admin, --nut-user remove NAME or --nut-user list.</source>
        <translation>請使用 --nut-user add 名稱 --role monitor|admin、--nut-user remove 名稱 或 --nut-user list。</translation>
    </message>
    <message>
        <source>Account %1 removed.</source>
        <translation>帳戶 %1 已刪除。</translation>
    </message>
    <message>
        <source>--nut-user add needs --role monitor or --role admin.</source>
        <translation>--nut-user add 需要 --role monitor 或 --role admin。</translation>
    </message>
    <message>
        <source>Account %1 changed (%2).</source>
        <translation>帳戶 %1 已修改 (%2)。</translation>
    </message>
    <message>
        <source>Account %1 added (%2).</source>
        <translation>帳戶 %1 已添加 (%2)。</translation>
    </message>
</context>
<context>
    <name>PopupAddEMailUser</name>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation>電子郵件地址無效!</translation>
    </message>
</context>
<context>
    <name>PopupAddEMailUserForm.ui</name>
    <message>
        <source>E-Mail Receiver:</source>
        <translation>郵件接收人:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTask</name>
    <message>
        <source>Add Schedule Task</source>
        <translation>添加排程任務</translation>
    </message>
    <message>
        <source>Modify Schedule Task</source>
        <translation>修改排程任務</translation>
    </message>
    <message>
        <source>The hour must be from 0 to 23.</source>
        <translation>小時必須在 0 到 23 之間。</translation>
    </message>
    <message>
        <source>The minute must be from 0 to 59.</source>
        <translation>分鐘必須在 0 到 59 之間。</translation>
    </message>
    <message>
        <source>The second must be from 0 to 59.</source>
        <translation>秒必須在 0 到 59 之間。</translation>
    </message>
    <message>
        <source>The day of the month must be from 1 to 31.</source>
        <translation>日期必須在 1 到 31 之間。</translation>
    </message>
    <message>
        <source>This date and time have already passed.</source>
        <translation>此日期和時間已經過去。</translation>
    </message>
    <message>
        <source>The task could not be stored.</source>
        <translation>無法保存此任務。</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTaskForm.ui</name>
    <message>
        <source>Task Type:</source>
        <translation>任務類型:</translation>
    </message>
    <message>
        <source>Self-test for 10S</source>
        <translation>自檢 10 秒</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>自檢至放電終止</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>UPS 開機</translation>
    </message>
    <message>
        <source>Shutdown system and close UPS</source>
        <translation>關閉系統並關閉 UPS</translation>
    </message>
    <message>
        <source>Execute Time:</source>
        <translation>執行時間:</translation>
    </message>
    <message>
        <source>Execute Cyle:</source>
        <translation>執行周期:</translation>
    </message>
    <message>
        <source>One Shoot</source>
        <translation>單次</translation>
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
        <translation>確定</translation>
    </message>
    <message>
        <source>Execute Date:</source>
        <translation>執行日期:</translation>
    </message>
    <message>
        <source>Execute Day:</source>
        <translation>執行日:</translation>
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
        <translation>(1~31; 天數較少的月份取最後一天)</translation>
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
        <translation>確定</translation>
    </message>
    <message>
        <source>No alarm stands now.</source>
        <translation>當前沒有告警。</translation>
    </message>
</context>
<context>
    <name>PopupNutUser</name>
    <message>
        <source>1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>1 至 64 個字元, 不含空格、引號、反斜線或 #。</translation>
    </message>
    <message>
        <source>Leave the password empty to keep it.</source>
        <translation>密碼留空則保持不變。</translation>
    </message>
</context>
<context>
    <name>PopupNutUserForm.ui</name>
    <message>
        <source>User name:</source>
        <translation>使用者名稱:</translation>
    </message>
    <message>
        <source>Role:</source>
        <translation>角色:</translation>
    </message>
    <message>
        <source>Monitor (watch the UPS)</source>
        <translation>Monitor (監視 UPS)</translation>
    </message>
    <message>
        <source>Admin (also run UPS commands)</source>
        <translation>Admin (也可控制 UPS)</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSender</name>
    <message>
        <source>User account is invalid!</source>
        <translation>使用者帳號無效!</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSenderForm.ui</name>
    <message>
        <source>E-Mail Sender</source>
        <translation>郵件發件人</translation>
    </message>
    <message>
        <source>Account:</source>
        <translation>帳號:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>RuntimeLearner</name>
    <message>
        <source>Battery worn: %1</source>
        <translation>電池老化: %1</translation>
    </message>
    <message>
        <source>The battery now holds %1 % of what its first discharges showed: plan its replacement.</source>
        <translation>電池現僅有最初幾次放電時容量的 %1 %: 請計劃更換。</translation>
    </message>
    <message>
        <source>Battery of %1, measured by its discharges: %2 % of its first capacity (%3 discharges to battery low learned).</source>
        <translation>%1 的電池, 按放電實測: 為最初容量的 %2 % (已学习 %3 次放電至電池電壓低)。</translation>
    </message>
    <message>
        <source>Battery wearing: %1</source>
        <translation>電池老化中: %1</translation>
    </message>
    <message>
        <source>The battery holds %1 % of what its first discharges showed and is on course to fall below 80 % in about %2 days: plan its replacement.</source>
        <translation>電池現為最初幾次放電時容量的 %1 %, 預計約 %2 天內降至 80 % 以下: 請計劃更換。</translation>
    </message>
</context>
<context>
    <name>ScheduleTaskListDelegate</name>
    <message>
        <source>One Shoot</source>
        <translation>單次</translation>
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
        <translation>未知代碼: </translation>
    </message>
    <message>
        <source>Self-test for 10 secords</source>
        <translation>自檢 10 秒</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>自檢至放電終止</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>UPS 開機</translation>
    </message>
    <message>
        <source>System shutdown and close UPS</source>
        <translation>系統關機並關閉 UPS</translation>
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
        <translation>找不到連接埠 %1</translation>
    </message>
    <message>
        <source>Permission denied: add yourself to %1</source>
        <translation>權限不足: 請把自己加入 %1 組</translation>
    </message>
    <message>
        <source>Port %1 cannot be opened: %2</source>
        <translation>無法打開連接埠 %1: %2</translation>
    </message>
</context>
<context>
    <name>ServiceEMail</name>
    <message>
        <source>From Quelta</source>
        <translation>來自 Quelta</translation>
    </message>
    <message>
        <source>mail rejected</source>
        <translation>郵件被拒收</translation>
    </message>
    <message>
        <source>UPS Alarm</source>
        <translation>UPS 告警</translation>
    </message>
    <message>
        <source>Daily Report</source>
        <translation>日報</translation>
    </message>
    <message>
        <source>UPS daily report.</source>
        <translation>UPS 日報。</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 負載(%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>輸入頻率(Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>電池電壓(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <source>Test E-Mail</source>
        <translation>測試郵件</translation>
    </message>
    <message>
        <source>This is a test E-Mail!</source>
        <translation>這是一封測試郵件!</translation>
    </message>
    <message>
        <source>connection failed</source>
        <translation>連接失敗</translation>
    </message>
    <message>
        <source>encryption failed</source>
        <translation>加密失敗</translation>
    </message>
    <message>
        <source>authentication failed</source>
        <translation>驗證失敗</translation>
    </message>
    <message>
        <source>no server address</source>
        <translation>未設定伺服器地址</translation>
    </message>
    <message>
        <source>no server port</source>
        <translation>未設定伺服器連接埠</translation>
    </message>
    <message>
        <source>no sender address (the test mail goes to it)</source>
        <translation>未設定發件人地址 (測試郵件發往該地址)</translation>
    </message>
    <message>
        <source>no login account</source>
        <translation>未設定登入帳號</translation>
    </message>
</context>
<context>
    <name>ServiceNetwork</name>
    <message>
        <source>Name at least one address to listen on (127.0.0.1 for this computer only, 0.0.0.0 and :: for every network).</source>
        <translation>請至少填寫一個監聽地址（127.0.0.1 僅本機，0.0.0.0 和 :: 為所有網路）。</translation>
    </message>
    <message>
        <source>Not an IP address: %1</source>
        <translation>不是 IP 地址：%1</translation>
    </message>
    <message>
        <source>Not a network (such as 192.168.1.0/24 or fd00::/8): %1</source>
        <translation>不是網路（例如 192.168.1.0/24 或 fd00::/8）：%1</translation>
    </message>
    <message>
        <source>A UPS name holds letters, digits and . _ - @ only: %1</source>
        <translation>UPS 名稱只能包含字母、數字和 . _ - @：%1</translation>
    </message>
</context>
<context>
    <name>ServiceNotification</name>
    <message>
        <source>%1 minutes</source>
        <translation>%1 分鐘</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>Communication restored</source>
        <translation>通訊已恢復</translation>
    </message>
    <message>
        <source>Quelta is talking to the UPS again.</source>
        <translation>Quelta 已重新與 UPS 通訊。</translation>
    </message>
    <message>
        <source>Communication lost</source>
        <translation>通訊中斷</translation>
    </message>
    <message>
        <source>Quelta cannot reach the UPS: it no longer sees a mains failure.</source>
        <translation>Quelta 無法連接 UPS: 將無法發現市電故障。</translation>
    </message>
    <message>
        <source>The UPS is running on its battery.</source>
        <translation>UPS 正在由電池供電。</translation>
    </message>
    <message>
        <source>Battery charge: %1 %.</source>
        <translation>電池電量: %1 %。</translation>
    </message>
    <message>
        <source>Mains failure</source>
        <translation>市電故障</translation>
    </message>
    <message>
        <source>Mains returned</source>
        <translation>市電已恢復</translation>
    </message>
    <message>
        <source>The UPS is running on the mains again.</source>
        <translation>UPS 已恢復由市電供電。</translation>
    </message>
    <message>
        <source>Battery low</source>
        <translation>電池電量低</translation>
    </message>
    <message>
        <source>The UPS battery is low: the computer may lose power soon.</source>
        <translation>UPS 電池電量低: 電腦可能很快斷電。</translation>
    </message>
    <message>
        <source>UPS fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>The UPS reports a fault; the alarm list tells more.</source>
        <translation>UPS 報告故障, 詳情請查看告警列表。</translation>
    </message>
    <message>
        <source>Shutdown countdown started</source>
        <translation>關機倒計時已開始</translation>
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation>關機倒計時已取消</translation>
    </message>
    <message>
        <source>The computer stays on.</source>
        <translation>電腦將保持運行。</translation>
    </message>
    <message>
        <source>Passed.</source>
        <translation>通過。</translation>
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation>失敗: 電池電量低。</translation>
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation>失敗: UPS 報告故障。</translation>
    </message>
    <message>
        <source>The battery voltage fell by %1 V in %2.</source>
        <translation>電池電壓在 %2 內下降了 %1 V。</translation>
    </message>
    <message>
        <source>Self-test finished</source>
        <translation>自檢結束</translation>
    </message>
    <message>
        <source>Shutdown countdown shortened</source>
        <translation>關機倒計時已缩短</translation>
    </message>
    <message>
        <source>The computer shuts down in %1, at %2.</source>
        <translation>電腦將在 %1 後, 於 %2 關機。</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消關機</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The countdown ends in %1, at %2. Nothing is set to happen then: the computer stays on.</source>
        <translation>倒計時將在 %1 後（%2）結束。届時不執行任何操作：電腦保持開啟。</translation>
    </message>
    <message>
        <source>The UPS battery is low: the UPS may switch off soon.</source>
        <translation>UPS 電池電量低: UPS 可能很快關閉。</translation>
    </message>
    <message>
        <source>(1 change since the last notice: %1 at %2)</source>
        <translation>(自上次通知以來變化 1 次: 於 %2 %1)</translation>
    </message>
    <message>
        <source>(%1 changes since the last notice, between %2 and %3)</source>
        <translation>(自上次通知以來變化 %1 次, 在 %2 至 %3 之間)</translation>
    </message>
    <message>
        <source>Measured at this load, it lasts about %1.</source>
        <translation>按實測, 在此負載下約可維持 %1。</translation>
    </message>
</context>
<context>
    <name>ServiceShutdown</name>
    <message>
        <source>the system refused to power it off</source>
        <translation>系統拒絕關機</translation>
    </message>
    <message>
        <source>the system offers no way to power it off</source>
        <translation>系統沒有提供關機的途徑</translation>
    </message>
    <message>
        <source>the power-off request failed</source>
        <translation>關機請求失敗</translation>
    </message>
    <message>
        <source>The computer could not be shut down: %1. Save your work and shut it down by hand.</source>
        <translation>無法關閉電腦: %1。請保存您的工作並手動關機。</translation>
    </message>
    <message>
        <source>The shutdown can no longer be cancelled: the other computers on the UPS have been told to shut down, or the power-off has been asked for.</source>
        <translation>關機已無法取消: 已通知該 UPS 上的其他電腦關機, 或已請求關閉電源。</translation>
    </message>
    <message>
        <source>Supplies lost: %1.</source>
        <translation>已失去的供電：%1。</translation>
    </message>
    <message>
        <source>The computer was not shut down</source>
        <translation>電腦未能關閉</translation>
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
        <translation>%1 到 %2 之間的整數</translation>
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
        <translation>07:30:00 這樣的時間</translation>
    </message>
    <message>
        <source>a day such as 2026-12-31, or nothing</source>
        <translation>2026-12-31 這樣的日期，或留空</translation>
    </message>
    <message>
        <source>a host name or an IP address, or nothing</source>
        <translation>主機名或 IP 地址，或留空</translation>
    </message>
    <message>
        <source>IP addresses separated by commas, such as 127.0.0.1,::1</source>
        <translation>以逗號分隔的 IP 地址，例如 127.0.0.1,::1</translation>
    </message>
    <message>
        <source>IP addresses or networks separated by commas, such as 192.168.1.0/24,fd00::/8</source>
        <translation>以逗號分隔的 IP 地址或網路，例如 192.168.1.0/24,fd00::/8</translation>
    </message>
    <message>
        <source>names separated by commas</source>
        <translation>以逗號分隔的名稱</translation>
    </message>
    <message>
        <source>a path</source>
        <translation>一個路徑</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Settings file damaged</source>
        <translation>設定檔案已損壞</translation>
    </message>
    <message>
        <source>The settings file was damaged and could not be kept aside.</source>
        <translation>設定檔案已損壞，且無法另存。</translation>
    </message>
    <message>
        <source>The settings file was damaged; it is kept as %1.</source>
        <translation>設定檔案已損壞，已另存為 %1。</translation>
    </message>
    <message>
        <source>The new one holds the settings that could be read from it (%1) and the defaults for the rest: check the settings, above all the shutdown and the UPS link.</source>
        <translation>新檔案保留了其中能讀取的設定（%1 項），其餘恢復預設值：請檢查設定，尤其是關機和 UPS 連接。</translation>
    </message>
    <message>
        <source>The settings file %1 was changed and does not read whole (%2). The lines that read are taken; the others keep the settings in force. Repair it: 'config check' lists the problems.</source>
        <translation>設定檔案 %1 已被更改且無法完整讀取（%2）。可讀取的行已採用；其餘保持當前生效的設定。請修復它：'config check' 列出問題。</translation>
    </message>
    <message>
        <source>The settings in force were written in its place.</source>
        <translation>當前生效的設定已寫入其位置。</translation>
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
        <translation>確定要恢復預設設定嗎?!</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>瀏覽...</translation>
    </message>
    <message>
        <source>Configuration files (*.conf)</source>
        <translation>設定檔 (*.conf)</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存為...</translation>
    </message>
    <message>
        <source>Operation failed!</source>
        <translation>操作失敗!</translation>
    </message>
    <message>
        <source>No data from the server: %1</source>
        <translation>伺服器沒有資料: %1</translation>
    </message>
    <message>
        <source>Certificates (*.pem *.crt)</source>
        <translation>憑證 (*.pem *.crt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有檔案 (*)</translation>
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation>從 UPS 首次應答之日起計算。</translation>
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation>自 %1 起已到更換期限。</translation>
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation>將於 %1 到更換期限。</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>已保存為 %1</translation>
    </message>
</context>
<context>
    <name>SettingsCommonForm.ui</name>
    <message>
        <source>Base Parameter</source>
        <translation>基本參數</translation>
    </message>
    <message>
        <source>UPS Communication Type:</source>
        <translation>UPS 通訊方式:</translation>
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
        <translation>COM 連接埠:</translation>
    </message>
    <message>
        <source>Baud rate:</source>
        <translation>鮑率:</translation>
    </message>
    <message>
        <source>Record data interval(Sec):</source>
        <translation>資料記錄間隔(秒):</translation>
    </message>
    <message>
        <source>Version Information</source>
        <translation>版本資訊</translation>
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
        <translation>設定管理</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>語言:</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>中文简体 </source>
        <translation>中文简體 </translation>
    </message>
    <message>
        <source>Français</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>Following System Language</source>
        <translation>跟隨系統語言</translation>
    </message>
    <message>
        <source>Settings Import:</source>
        <translation>匯入設定:</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>瀏覽...</translation>
    </message>
    <message>
        <source>Settings Export:</source>
        <translation>匯出設定:</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存為...</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>恢復預設設定</translation>
    </message>
    <message>
        <source>Network (NUT)</source>
        <translation>網路 (NUT)</translation>
    </message>
    <message>
        <source>UPS Server (NUT)</source>
        <translation>UPS 伺服器 (NUT)</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>伺服器:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>連接埠:</translation>
    </message>
    <message>
        <source>UPS name:</source>
        <translation>UPS 名稱:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>使用者:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼:</translation>
    </message>
    <message>
        <source>CA file:</source>
        <translation>CA 檔案:</translation>
    </message>
    <message>
        <source>System certificates</source>
        <translation>系統憑證</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>瀏覽</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>允許未加密的連接</translation>
    </message>
    <message>
        <source>Another program holds the UPS port, the Quelta service for example. Quelta opens it once it is free.</source>
        <translation>另一個程式（例如 Quelta 服務）正在佔用 UPS 連接埠。連接埠空閒後 Quelta 會打開它。</translation>
    </message>
    <message>
        <source>Start with the desktop</source>
        <translation>隨桌面啟動</translation>
    </message>
    <message>
        <source>Desktop notifications</source>
        <translation>桌面通知</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>電池</translation>
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation>電池安裝日期:</translation>
    </message>
    <message>
        <source>Replace after (months):</source>
        <translation>更換周期(月):</translation>
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
        <translation>正在發送測試郵件...</translation>
    </message>
    <message>
        <source>E-Mail has been sent.</source>
        <translation>郵件已發送。</translation>
    </message>
    <message>
        <source>Failed to send test E-Mail!</source>
        <translation>測試郵件發送失敗!</translation>
    </message>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation>電子郵件地址無效!</translation>
    </message>
</context>
<context>
    <name>SettingsEMailForm.ui</name>
    <message>
        <source>E-Mail</source>
        <translation>電子郵件</translation>
    </message>
    <message>
        <source>Sender Information</source>
        <translation>發件人資訊</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>發件人名稱:</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>發件人地址:</translation>
    </message>
    <message>
        <source>Server Address:</source>
        <translation>伺服器地址:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>伺服器連接埠:</translation>
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
        <translation>無</translation>
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
        <translation>帳號驗證:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Send Test Mail</source>
        <translation>發送測試郵件</translation>
    </message>
    <message>
        <source>E-mail Address</source>
        <translation>電子郵件地址</translation>
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
        <translation>刪除</translation>
    </message>
    <message>
        <source>Daily Report Send Time(HH:MM:SS): </source>
        <translation>日報發送時間(HH:MM:SS): </translation>
    </message>
</context>
<context>
    <name>SettingsFileExchange</name>
    <message>
        <source>The e-mail recipients could not be stored (%1); the old list is kept.</source>
        <translation>無法保存電子郵件收件人（%1），保留原有列表。</translation>
    </message>
    <message>
        <source>The network server's accounts could not be stored; the old ones are kept.</source>
        <translation>無法保存網路伺服器的帳戶，保留原有帳戶。</translation>
    </message>
    <message>
        <source>The protection is switched off: no shutdown on a mains failure.</source>
        <translation>保護將關閉：市電故障時不再關機。</translation>
    </message>
    <message>
        <source>Network sharing is switched off: the computers that watch this UPS over the network lose it.</source>
        <translation>網路共享將關閉：通過網路監視此 UPS 的電腦將失去它。</translation>
    </message>
    <message>
        <source>E-mail is switched off.</source>
        <translation>郵件將關閉。</translation>
    </message>
    <message>
        <source>Every e-mail recipient is deleted (%1).</source>
        <translation>所有郵件收件人將被刪除（%1）。</translation>
    </message>
    <message>
        <source>The language, desktop notifications, the battery replacement interval and every shutdown, e-mail and network sharing setting go back to their defaults.</source>
        <translation>語言、桌面通知、電池更換周期以及所有關機、郵件和網路共享設定將恢復預設值。</translation>
    </message>
    <message>
        <source>Kept: the link to the UPS, the network accounts, the scheduled tasks and the battery installation date.</source>
        <translation>保留：UPS 連接、網路帳戶、排程任務和電池安裝日期。</translation>
    </message>
    <message>
        <source>The watched UPSes could not be stored; the old list is kept.</source>
        <translation>無法保存監視的UPS列表，保留原列表。</translation>
    </message>
    <message>
        <source>Kept too: the watched UPSes (%1).</source>
        <translation>同樣保留: 監視的 UPS (%1)。</translation>
    </message>
</context>
<context>
    <name>SettingsNetwork</name>
    <message>
        <source>Off</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>Serving the UPS on port %1</source>
        <translation>正在連接埠 %1 上共享 UPS</translation>
    </message>
    <message>
        <source>TLS certificate</source>
        <translation>TLS 憑證</translation>
    </message>
    <message>
        <source>PEM files (*.pem *.crt *.key)</source>
        <translation>PEM 檔案 (*.pem *.crt *.key)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有檔案 (*)</translation>
    </message>
    <message>
        <source>TLS key</source>
        <translation>TLS 密鑰</translation>
    </message>
    <message>
        <source>Name the UPS for the clients.</source>
        <translation>請為客戶端填寫 UPS 名稱。</translation>
    </message>
    <message>
        <source>Switched off: cannot listen on %1</source>
        <translation>已關閉：無法監聽 %1</translation>
    </message>
    <message>
        <source>Cannot listen on %1</source>
        <translation>無法監聽 %1</translation>
    </message>
    <message>
        <source>Starting...</source>
        <translation>正在啟動...</translation>
    </message>
</context>
<context>
    <name>SettingsNetworkForm.ui</name>
    <message>
        <source>Network Sharing</source>
        <translation>網路共享</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>伺服器</translation>
    </message>
    <message>
        <source>Listen on:</source>
        <translation>監聽地址:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>連接埠:</translation>
    </message>
    <message>
        <source>Allowed networks:</source>
        <translation>允許的網路:</translation>
    </message>
    <message>
        <source>UPS name:</source>
        <translation>UPS 名稱:</translation>
    </message>
    <message>
        <source>Other names:</source>
        <translation>其他名稱:</translation>
    </message>
    <message>
        <source>Wait for clients:</source>
        <translation>等待客戶端:</translation>
    </message>
    <message>
        <source>second(s)</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Clients at most:</source>
        <translation>最多客戶端:</translation>
    </message>
    <message>
        <source>TLS certificate:</source>
        <translation>TLS 憑證:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>瀏覽</translation>
    </message>
    <message>
        <source>TLS key:</source>
        <translation>TLS 密鑰:</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>使用者</translation>
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
        <translation>刪除</translation>
    </message>
    <message>
        <source>Connected Clients</source>
        <translation>已連接的客戶端</translation>
    </message>
    <message>
        <source>logged in</source>
        <translation>已登入</translation>
    </message>
    <message>
        <source>No client connected</source>
        <translation>沒有客戶端連接</translation>
    </message>
    <message>
        <source>Allowed clients read the UPS without an account, as with NUT. An account is for logging in (a computer that shuts down with this UPS) and for commands.</source>
        <translation>允許的客戶端無需帳戶即可讀取 UPS，與 NUT 相同。帳戶用於登入（隨此 UPS 關機的電腦）和發送命令。</translation>
    </message>
</context>
<context>
    <name>SettingsShutdown</name>
    <message>
        <source>Browse</source>
        <translation>瀏覽</translation>
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation>沒有名為 %1 的監視UPS：它從不被判定，計為能夠為本機供電。</translation>
    </message>
    <message>
        <source>Protection is on, but nothing is set to happen at the end of the countdown: the computer stays on. Choose "Shutdown OS", a command file or the UPS switch-off.</source>
        <translation>保護已開啟，但倒計時結束時不執行任何操作：電腦保持開啟。請選擇“關閉作業系統”、命令檔或關閉UPS輸出。</translation>
    </message>
</context>
<context>
    <name>SettingsShutdownForm.ui</name>
    <message>
        <source>Quelta power control</source>
        <translation>Quelta 電源控制</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system in(0~2880)</source>
        <translation>市電故障後, 系統關機延時(0~2880)</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>分鐘</translation>
    </message>
    <message>
        <source>If low battery occurred, shutdown system in(0~600)</source>
        <translation>電池電壓低時, 系統關機延時(0~600)</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system when battery capacity lower than(1~100)</source>
        <translation>市電故障後, 電池容量低於(1~100)時關閉系統</translation>
    </message>
    <message>
        <source>Shutdown OS</source>
        <translation>關閉作業系統</translation>
    </message>
    <message>
        <source>Command file to execute:</source>
        <translation>執行命令檔:</translation>
    </message>
    <message>
        <source>Command file:</source>
        <translation>命令檔:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>瀏覽</translation>
    </message>
    <message>
        <source>Max. execution time:</source>
        <translation>最長執行時間:</translation>
    </message>
    <message>
        <source>UPS Power Off</source>
        <translation>UPS 關機</translation>
    </message>
    <message>
        <source>Times need (1~9)</source>
        <translation>所需時間(1~9)</translation>
    </message>
    <message>
        <source>minute(s) before UPS turns off</source>
        <translation>分鐘後關閉 UPS</translation>
    </message>
    <message>
        <source>On battery, count the battery as low when less backup time is left than(0~1440, 0: off)</source>
        <translation>電池供電時, 剩餘後備時間少於此值即視為電池電壓低(0~1440, 0: 關閉)</translation>
    </message>
</context>
<context>
    <name>SettingsWatch</name>
    <message>
        <source>Watched UPSes</source>
        <translation>監視的UPS</translation>
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
        <translation>無：只監視本機的UPS。</translation>
    </message>
    <message>
        <source>Add a UPS or a whole server</source>
        <translation>添加一臺UPS或整個伺服器</translation>
    </message>
    <message>
        <source>Shown name</source>
        <translation>顯示名稱</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>伺服器</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>連接埠</translation>
    </message>
    <message>
        <source>UPS name (* for every UPS of the server)</source>
        <translation>UPS名稱（* 表示伺服器的全部UPS）</translation>
    </message>
    <message>
        <source>User</source>
        <translation>使用者</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密碼</translation>
    </message>
    <message>
        <source>CA file</source>
        <translation>CA憑證檔案</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>允許未加密的連接</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Supplies of this computer</source>
        <translation>本機的供電</translation>
    </message>
    <message>
        <source>UPSes that feed it (shown names, local for its own)</source>
        <translation>為本機供電的UPS（顯示名稱，local 表示本機的UPS）</translation>
    </message>
    <message>
        <source>At least this many must be able to feed it</source>
        <translation>至少須有幾臺能夠供電</translation>
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation>沒有名為 %1 的監視UPS：它從不被判定，計為能夠為本機供電。</translation>
    </message>
</context>
<context>
    <name>StatusCommand</name>
    <message>
        <source>on mains</source>
        <translation>市電供電</translation>
    </message>
    <message>
        <source>on battery</source>
        <translation>電池供電</translation>
    </message>
    <message>
        <source>battery low</source>
        <translation>電池電量低</translation>
    </message>
    <message>
        <source>on bypass</source>
        <translation>旁路供電</translation>
    </message>
    <message>
        <source>lowering a high mains voltage</source>
        <translation>正在降低過高的市電電壓</translation>
    </message>
    <message>
        <source>raising a low mains voltage</source>
        <translation>正在提升過低的市電電壓</translation>
    </message>
    <message>
        <source>self-test running</source>
        <translation>正在自檢</translation>
    </message>
    <message>
        <source>output off</source>
        <translation>輸出關閉</translation>
    </message>
    <message>
        <source>forced shutdown</source>
        <translation>強制關機</translation>
    </message>
    <message>
        <source>alarm</source>
        <translation>報警</translation>
    </message>
    <message>
        <source>Quelta does not run on the program folder %1.</source>
        <translation>Quelta 未在程式資料夾 %1 上運行。</translation>
    </message>
    <message>
        <source>Quelta runs on the program folder %1, but this user may not ask it: run this as its user or as a member of its group.</source>
        <translation>Quelta 正在程式資料夾 %1 上運行，但此使用者無權查詢：請以其使用者或其組的成員身份運行此命令。</translation>
    </message>
    <message>
        <source>Quelta on the program folder %1 did not answer.</source>
        <translation>程式資料夾 %1 上的 Quelta 沒有應答。</translation>
    </message>
    <message>
        <source>Quelta on the program folder %1 watches no UPS.</source>
        <translation>程式資料夾 %1 上的 Quelta 未監視任何 UPS。</translation>
    </message>
    <message>
        <source>%1: no UPS answers</source>
        <translation>%1：沒有 UPS 應答</translation>
    </message>
    <message>
        <source>settings: %1</source>
        <translation>設定：%1</translation>
    </message>
    <message>
        <source>battery health: %1 %</source>
        <translation>電池健康度: %1 %</translation>
    </message>
    <message>
        <source>measured backup time: %1 s (%2 to %3 s)</source>
        <translation>實測續航: %1 秒 (%2 至 %3 秒)</translation>
    </message>
    <message>
        <source>measured backup time: none (%1)</source>
        <translation>實測續航: 無 (%1)</translation>
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
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 負載(%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>輸入頻率(Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>電池電壓(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <source>Per-minute means</source>
        <translation>每分鐘平均值</translation>
    </message>
</context>
<context>
    <name>TableModelSelfTest</name>
    <message>
        <source>Passed</source>
        <translation>通過</translation>
    </message>
    <message>
        <source>Failed: battery low</source>
        <translation>失敗：電池電壓低</translation>
    </message>
    <message>
        <source>Failed: UPS fault</source>
        <translation>失敗：UPS 故障</translation>
    </message>
</context>
<context>
    <name>UpsCard</name>
    <message>
        <source>This computer</source>
        <translation>本機</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>電量</translation>
    </message>
    <message>
        <source>Runtime</source>
        <translation>後備時間</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>負載</translation>
    </message>
    <message>
        <source>Conneted</source>
        <translation>已連接</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>已斷開</translation>
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
        <translation>電池供電</translation>
    </message>
    <message>
        <source>Battery Low</source>
        <translation>電池電量低</translation>
    </message>
    <message>
        <source>Output Off</source>
        <translation>輸出已關閉</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>Communication Lost</source>
        <translation>通訊中斷</translation>
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>UPS 未連接</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation>連接埠被佔用</translation>
    </message>
    <message>
        <source>Output off pending</source>
        <translation>輸出即將關閉</translation>
    </message>
    <message>
        <source>Output off in %1</source>
        <translation>%1 後關閉輸出</translation>
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
        <translation>測量值</translation>
    </message>
    <message>
        <source>No current alarm.</source>
        <translation>當前沒有告警。</translation>
    </message>
    <message>
        <source>Last self-tests</source>
        <translation>最近的自檢</translation>
    </message>
    <message>
        <source>No self-test was recorded.</source>
        <translation>沒有記錄到自檢。</translation>
    </message>
    <message>
        <source>No samples were stored in this time.</source>
        <translation>這段時間內沒有存儲資料。</translation>
    </message>
    <message>
        <source>Log in</source>
        <translation>登入</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>登出</translation>
    </message>
    <message>
        <source>UPS commands need a network account with the admin role.</source>
        <translation>UPS 命令需要具有 admin 角色的網路帳戶。</translation>
    </message>
    <message>
        <source>UPS commands are offered over HTTPS only.</source>
        <translation>UPS 命令僅通過 HTTPS 提供。</translation>
    </message>
    <message>
        <source>Wrong user name or password.</source>
        <translation>使用者名稱或密碼錯誤。</translation>
    </message>
    <message>
        <source>Not done: %1</source>
        <translation>未執行: %1</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>實時</translation>
    </message>
    <message>
        <source>Reconnecting...</source>
        <translation>正在重新連接...</translation>
    </message>
    <message>
        <source>No UPS of this name is known.</source>
        <translation>沒有此名稱的 UPS。</translation>
    </message>
    <message>
        <source>1 sample</source>
        <translation>1 個取樣</translation>
    </message>
    <message>
        <source>Supplies lost: %1</source>
        <translation>已失去的供電：%1</translation>
    </message>
    <message>
        <source>%1 of %2 needed can still feed</source>
        <translation>所需 %2 個中仍有 %1 個可以供電</translation>
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>UPS 未連接</translation>
    </message>
    <message>
        <source>UPS Normal</source>
        <translation>UPS 正常</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>電池供電</translation>
    </message>
    <message>
        <source>Battery Low</source>
        <translation>電池電量低</translation>
    </message>
    <message>
        <source>Output off in %1</source>
        <translation>%1 後關閉輸出</translation>
    </message>
    <message>
        <source>Output Off</source>
        <translation>輸出已關閉</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>UPS 故障</translation>
    </message>
    <message>
        <source>Communication Lost</source>
        <translation>通訊中斷</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation>連接埠被佔用</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>輸入電壓(V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>輸出電壓(V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>UPS 負載(%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>電池電壓(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>輸入頻率(Hz)</translation>
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation>電池容量</translation>
    </message>
    <message>
        <source>Battery Remaining Time</source>
        <translation>電池剩餘時間</translation>
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>系統關機倒計時</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation>UPS 輸出關閉倒計時</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消關機</translation>
    </message>
    <message>
        <source>UPS Manufacturer:</source>
        <translation>UPS 制造商:</translation>
    </message>
    <message>
        <source>UPS Model:</source>
        <translation>UPS 型號:</translation>
    </message>
    <message>
        <source>UPS Version:</source>
        <translation>UPS 版本:</translation>
    </message>
    <message>
        <source>UPS SN:</source>
        <translation>UPS 序號:</translation>
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
        <translation>持續時間</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>次數</translation>
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation>電池電壓降(V)</translation>
    </message>
    <message>
        <source>Passed.</source>
        <translation>通過。</translation>
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation>失敗: 電池電量低。</translation>
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation>失敗: UPS 報告故障。</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>電池</translation>
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation>電池安裝日期:</translation>
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation>從 UPS 首次應答之日起計算。</translation>
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation>將於 %1 到更換期限。</translation>
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation>自 %1 起已到更換期限。</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 個取樣</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>總覽</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS 自檢 10 秒</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>取消 UPS 自檢</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>切換 UPS 蜂鳴器</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation>UPS 控制</translation>
    </message>
    <message>
        <source>Order has been issued!</source>
        <translation>命令已發出!</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation>使用者名稱:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼:</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>歷史資料</translation>
    </message>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation>UPS 報告 %1 · 實測 %2</translation>
    </message>
    <message>
        <source>measured %1</source>
        <translation>實測 %1</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>電池健康度</translation>
    </message>
    <message>
        <source>Battery health by discharge</source>
        <translation>各次放電的電池健康度</translation>
    </message>
    <message>
        <source>Health (%)</source>
        <translation>健康度 (%)</translation>
    </message>
    <message>
        <source>Load (%)</source>
        <translation>負載 (%)</translation>
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation>預計約於 %2 降至 %1 % 以下</translation>
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation>低於 %1 %: 請計劃更換電池。</translation>
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation>電池健康度由最初幾次足夠完整的放電測得: 市電中斷或自檢使充滿的電池放電至電池電壓低。目前尚無此類記錄。</translation>
    </message>
    <message>
        <source>Output off pending</source>
        <translation>輸出即將關閉</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shutdown event activated!</source>
        <translation>關機事件已觸發!</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>顯示</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Quitting stops the protection: the computer will not be shut down when the mains fails. Quit anyway?</source>
        <translation>退出將停止保護: 市電故障時電腦將不會被關閉。仍要退出嗎?</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>取消關機</translation>
    </message>
    <message>
        <source>Cancel output off</source>
        <translation>取消關閉輸出</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
</TS>
