<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>ZelDPIWindow</name>
    <message>
        <source>DPI</source>
        <translation>DPI</translation>
    </message>
</context>
<context>
    <name>ZelPointSpeed</name>
    <message>
        <source>Key Response</source>
        <translation>按鍵響應</translation>
    </message>
    <message>
        <source>SCROLL SPEED</source>
        <translation>滾輪速度</translation>
    </message>
    <message>
        <source>Enable sync</source>
        <translation>運動同步</translation>
    </message>
    <message>
        <source>Lift Distance</source>
        <translation>靜默高度</translation>
    </message>
    <message>
        <source>Angle Snapping</source>
        <translation>角度捕捉</translation>
    </message>
    <message>
        <source>Jitter</source>
        <translation>紋波控制</translation>
    </message>
    <message>
        <source>1mm</source>
        <translation>1 毫米</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>開</translation>
    </message>
    <message>
        <source>2mm</source>
        <translation>2 毫米</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>關</translation>
    </message>
</context>
<context>
    <name>ZelReportRate</name>
    <message>
        <source>REPORT RATE</source>
        <translation>回報率</translation>
    </message>
    <message>
        <source>125 HZ</source>
        <translation>125 HZ</translation>
    </message>
    <message>
        <source>250 HZ</source>
        <translation>250 HZ</translation>
    </message>
    <message>
        <source>500 HZ</source>
        <translation>500 HZ</translation>
    </message>
    <message>
        <source>1000 HZ</source>
        <translation>1000 HZ</translation>
    </message>
    <message>
        <source>Lift off Distance</source>
        <translation>靜默高度</translation>
    </message>
    <message>
        <source>1 mm</source>
        <translation>1 毫米</translation>
    </message>
    <message>
        <source>2 mm</source>
        <translation>2 毫米</translation>
    </message>
</context>
<context>
    <name>ZelSingleDPI</name>
    <message>
        <source>Link XY</source>
        <translation>XY 連動</translation>
    </message>
    <message>
        <source>Use this stage</source>
        <translation>啟用此檔</translation>
    </message>
</context>
</TS>
