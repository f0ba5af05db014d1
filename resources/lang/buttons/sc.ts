<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ZelBtnWindow</name>
    <message>
        <source>MACRO SELECT</source>
        <translation>宏选择</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Left Button Can not be Gun Function.</source>
        <translation>左键不能设置为枪械功能。</translation>
    </message>
    <message>
        <source>GUNFILE SELECT</source>
        <translation>枪械文件选择</translation>
    </message>
    <message>
        <source>%1 × %2, %3 ms</source>
        <translation>%1 × %2，%3 毫秒</translation>
    </message>
    <message>
        <source>%1 DPI</source>
        <translation>%1 DPI</translation>
    </message>
    <message>
        <source>while held</source>
        <translation>按住时重复</translation>
    </message>
    <message>
        <source>until pressed again</source>
        <translation>直到再次按下</translation>
    </message>
    <message>
        <source>once</source>
        <translation>一次</translation>
    </message>
    <message>
        <source>%1 times</source>
        <translation>%1 次</translation>
    </message>
    <message>
        <source>Function %1</source>
        <translation>功能 %1</translation>
    </message>
    <message>
        <source>No function</source>
        <translation>无功能</translation>
    </message>
</context>
<context>
    <name>ZelComboKeyWindow</name>
    <message>
        <source>Combo Key</source>
        <translation>组合键</translation>
    </message>
    <message>
        <source>Hold the keys of the shortcut: up to Shift, Ctrl, Windows key, Alt and one key.
On a Wayland desktop the desktop keeps some keys for itself and they never reach this dialog: the Windows key and the shortcuts it starts, Alt + Tab, Alt + F4, Print Screen, Ctrl + Alt + Delete, Ctrl + Alt + F1 to F12 and the desktop&apos;s other global shortcuts.</source>
        <translation>按住快捷键的各个键：最多 Shift、Ctrl、Windows 键、Alt 和一个键。
在 Wayland 桌面上，桌面会保留一些按键自用，它们不会到达此对话框：Windows 键及其启动的快捷键、Alt + Tab、Alt + F4、Print Screen、Ctrl + Alt + Delete、Ctrl + Alt + F1 至 F12，以及桌面的其他全局快捷键。</translation>
    </message>
</context>
<context>
    <name>ZelFireKeyWindow</name>
    <message>
        <source>FireKey Setting</source>
        <translation>连发键设置</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左键</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右键</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>中键</translation>
    </message>
    <message>
        <source>Keyboard Key</source>
        <translation>键盘按键</translation>
    </message>
    <message>
        <source>Times:</source>
        <translation>次数:</translation>
    </message>
    <message>
        <source>Delay:</source>
        <translation>延时:</translation>
    </message>
</context>
<context>
    <name>ZelKeyDialog</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ZelMacroSelect</name>
    <message>
        <source>LOOPS TIME(1-255)</source>
        <translation>循环次数(1-255)</translation>
    </message>
    <message>
        <source>REPEAT RUN WHEN KEY DOWN</source>
        <translation>按住按键时重复执行</translation>
    </message>
    <message>
        <source>REPEAT RUN UNTILL THE KEY DOWN</source>
        <translation>重复执行直到再次按下按键</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ZelSingleKeyWindow</name>
    <message>
        <source>Single Key</source>
        <translation>单键</translation>
    </message>
</context>
<context>
    <name>ZelSniperWindow</name>
    <message>
        <source>Sniper Setting</source>
        <translation>狙击设置</translation>
    </message>
</context>
</TS>
