<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>ZelBtnWindow</name>
    <message>
        <source>MACRO SELECT</source>
        <translation>巨集選擇</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Left Button Can not be Gun Function.</source>
        <translation>左鍵不能設定為槍械功能。</translation>
    </message>
    <message>
        <source>GUNFILE SELECT</source>
        <translation>槍械檔案選擇</translation>
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
        <translation>按住時重複</translation>
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
        <translation>無功能</translation>
    </message>
</context>
<context>
    <name>ZelComboKeyWindow</name>
    <message>
        <source>Combo Key</source>
        <translation>組合鍵</translation>
    </message>
    <message>
        <source>Hold the keys of the shortcut: up to Shift, Ctrl, Windows key, Alt and one key.
On a Wayland desktop the desktop keeps some keys for itself and they never reach this dialog: the Windows key and the shortcuts it starts, Alt + Tab, Alt + F4, Print Screen, Ctrl + Alt + Delete, Ctrl + Alt + F1 to F12 and the desktop&apos;s other global shortcuts.</source>
        <translation>按住快速鍵的各個鍵：最多 Shift、Ctrl、Windows 鍵、Alt 和一個鍵。
在 Wayland 桌面上，桌面會保留一些按鍵自用，它們不會到達此對話框：Windows 鍵及其啟動的快速鍵、Alt + Tab、Alt + F4、Print Screen、Ctrl + Alt + Delete、Ctrl + Alt + F1 至 F12，以及桌面的其他全域快速鍵。</translation>
    </message>
</context>
<context>
    <name>ZelFireKeyWindow</name>
    <message>
        <source>FireKey Setting</source>
        <translation>連發鍵設定</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左鍵</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右鍵</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>中鍵</translation>
    </message>
    <message>
        <source>Keyboard Key</source>
        <translation>鍵盤按鍵</translation>
    </message>
    <message>
        <source>Times:</source>
        <translation>次數:</translation>
    </message>
    <message>
        <source>Delay:</source>
        <translation>延遲:</translation>
    </message>
</context>
<context>
    <name>ZelKeyDialog</name>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>循環次數(1-255)</translation>
    </message>
    <message>
        <source>REPEAT RUN WHEN KEY DOWN</source>
        <translation>按住按鍵時重複執行</translation>
    </message>
    <message>
        <source>REPEAT RUN UNTILL THE KEY DOWN</source>
        <translation>重複執行直到再次按下按鍵</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>單鍵</translation>
    </message>
</context>
<context>
    <name>ZelSniperWindow</name>
    <message>
        <source>Sniper Setting</source>
        <translation>狙擊設定</translation>
    </message>
</context>
</TS>
