<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <translation>Key Response</translation>
    </message>
    <message>
        <source>SCROLL SPEED</source>
        <translation>SCROLL SPEED</translation>
    </message>
    <message>
        <source>Enable sync</source>
        <translation>Enable sync</translation>
    </message>
    <message>
        <source>Lift Distance</source>
        <translation>Lift Distance</translation>
    </message>
    <message>
        <source>Angle Snapping</source>
        <translation>Angle Snapping</translation>
    </message>
    <message>
        <source>Jitter</source>
        <translation>Jitter</translation>
    </message>
    <message>
        <source>1mm</source>
        <translation>1mm</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>2mm</source>
        <translation>2mm</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
</context>
<context>
    <name>ZelReportRate</name>
    <message>
        <source>REPORT RATE</source>
        <translation>REPORT RATE</translation>
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
        <translation>Lift off Distance</translation>
    </message>
    <message>
        <source>1 mm</source>
        <translation>1 mm</translation>
    </message>
    <message>
        <source>2 mm</source>
        <translation>2 mm</translation>
    </message>
</context>
<context>
    <name>ZelSingleDPI</name>
    <message>
        <source>Link XY</source>
        <translation>Link XY</translation>
    </message>
    <message>
        <source>Use this stage</source>
        <translation>Use this stage</translation>
    </message>
</context>
</TS>
