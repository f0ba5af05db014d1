<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_TW">
<context>
    <name>MacroDialog</name>
    <message>
        <source>START</source>
        <translation>開始錄製</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>停止錄製</translation>
    </message>
    <message>
        <source>NEW</source>
        <translation>新增</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>TOP</source>
        <translation>移到頂部</translation>
    </message>
    <message>
        <source>MOVE UP</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>MOVE DOWN</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>BOTTOM</source>
        <translation>移到底部</translation>
    </message>
    <message>
        <source>RECORD DELAYS BETWEEN ACTION</source>
        <translation>錄製動作間的延遲</translation>
    </message>
    <message>
        <source>INSERT DEFAULT DELAY</source>
        <translation>插入預設延遲</translation>
    </message>
    <message>
        <source>RECORD AFTER</source>
        <translation>在後面錄製</translation>
    </message>
    <message>
        <source>Record after the selected row instead of starting a new list</source>
        <translation>在選取的列後面繼續錄製，而不是重新開始</translation>
    </message>
    <message>
        <source>LOOPS TIME(1-255)</source>
        <translation>循環次數(1-255)</translation>
    </message>
    <message>
        <source>REPEAT RUN WHEN KEY DOWN</source>
        <translation>按住按鍵時循環</translation>
    </message>
    <message>
        <source>REPEAT RUN UNTIL THE KEY DOWN</source>
        <translation>循環直到再次按下按鍵</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>EDIT</source>
        <translation>編輯</translation>
    </message>
    <message>
        <source>MACRO</source>
        <translation>巨集</translation>
    </message>
    <message>
        <source>MACRO NAME</source>
        <translation>巨集名稱</translation>
    </message>
    <message>
        <source>CHANGE NAME</source>
        <translation>修改名稱</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>IMPORT</source>
        <translation>匯入</translation>
    </message>
    <message>
        <source>EXPORT</source>
        <translation>匯出</translation>
    </message>
    <message>
        <source>BATCH</source>
        <translation>批次設定</translation>
    </message>
    <message>
        <source>Give every delay of the list the default delay</source>
        <translation>把清單中所有延遲改為預設延遲</translation>
    </message>
    <message>
        <source>INSERT DELAY</source>
        <translation>插入延遲</translation>
    </message>
    <message>
        <source>GUN SET</source>
        <translation>壓槍設定</translation>
    </message>
    <message>
        <source>DELAY</source>
        <translation>延遲</translation>
    </message>
    <message>
        <source>MOVE</source>
        <translation>移動</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <source>MOUSE COMMAND</source>
        <translation>滑鼠指令</translation>
    </message>
    <message>
        <source>LEFT CLICK</source>
        <translation>左鍵</translation>
    </message>
    <message>
        <source>MIDDLE CLICK</source>
        <translation>中鍵</translation>
    </message>
    <message>
        <source>RIGHT CLICK</source>
        <translation>右鍵</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>前進</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>後退</translation>
    </message>
    <message>
        <source>MOVE LEFT</source>
        <translation>左移</translation>
    </message>
    <message>
        <source>MOVE RIGHT</source>
        <translation>右移</translation>
    </message>
    <message>
        <source>PRESS DOWN</source>
        <translation>按下</translation>
    </message>
    <message>
        <source>BOUNCE UP</source>
        <translation>彈起</translation>
    </message>
    <message>
        <source>COPY</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>CUT</source>
        <translation>剪下</translation>
    </message>
    <message>
        <source>PASTE</source>
        <translation>貼上</translation>
    </message>
    <message>
        <source>MOUSE ACTION</source>
        <translation>滑鼠動作</translation>
    </message>
    <message>
        <source>KEY</source>
        <translation>按鍵</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The file could not be read or written.</source>
        <translation>無法讀取或寫入該檔案。</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>TOO MANY MACROS TO BE CREATE!</source>
        <translation>巨集數量已達上限，無法再建立！</translation>
    </message>
    <message>
        <source>This name cannot be used for a file. Please choose another name.</source>
        <translation>該名稱不能作為檔案名稱，請換一個名稱。</translation>
    </message>
    <message>
        <source>Load Macro File</source>
        <translation>載入巨集檔案</translation>
    </message>
    <message>
        <source>Macro Exist!</source>
        <translation>巨集已存在！</translation>
    </message>
    <message>
        <source>Save Macro File</source>
        <translation>儲存巨集檔案</translation>
    </message>
    <message>
        <source>A MACRO HOLDS AT MOST 63 ACTIONS.</source>
        <translation>一個巨集最多只能包含 63 個動作。</translation>
    </message>
    <message>
        <source>ONE OR MORE KEYS HAS NOT BEEN RELEASED.</source>
        <translation>有一個或多個按鍵沒有放開。</translation>
    </message>
</context>
<context>
    <name>ZelGunsetDialog</name>
    <message>
        <source>Gun Set</source>
        <translation>壓槍設定</translation>
    </message>
    <message>
        <source>GUN SET</source>
        <translation>壓槍設定</translation>
    </message>
    <message>
        <source>GUNFILE NAME</source>
        <translation>壓槍檔案名稱</translation>
    </message>
    <message>
        <source>BULLETS</source>
        <translation>子彈數</translation>
    </message>
    <message>
        <source>DELAY(MS)</source>
        <translation>延遲(毫秒)</translation>
    </message>
    <message>
        <source>MOVE X</source>
        <translation>水平移動</translation>
    </message>
    <message>
        <source>MOVE Y</source>
        <translation>垂直移動</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please input file name.</source>
        <translation>請輸入檔案名稱。</translation>
    </message>
    <message>
        <source>This name cannot be used for a file. Please choose another name.</source>
        <translation>該名稱不能作為檔案名稱，請換一個名稱。</translation>
    </message>
    <message>
        <source> DOWN</source>
        <translation> 按下</translation>
    </message>
    <message>
        <source> UP</source>
        <translation> 彈起</translation>
    </message>
</context>
<context>
    <name>ZelMacroItemDelegate</name>
    <message>
        <source>LEFT CLICK</source>
        <translation>左鍵</translation>
    </message>
    <message>
        <source>MIDDLE CLICK</source>
        <translation>中鍵</translation>
    </message>
    <message>
        <source>RIGHT CLICK</source>
        <translation>右鍵</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>前進</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>後退</translation>
    </message>
    <message>
        <source>MOVE LEFT</source>
        <translation>左移</translation>
    </message>
    <message>
        <source>MOVE RIGHT</source>
        <translation>右移</translation>
    </message>
    <message>
        <source>MOVE UP</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>MOVE DOWN</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 毫秒</translation>
    </message>
    <message>
        <source>BUTTON 0x%1</source>
        <translation>按鍵 0x%1</translation>
    </message>
    <message>
        <source>Press</source>
        <translation>按下</translation>
    </message>
    <message>
        <source>Release</source>
        <translation>放開</translation>
    </message>
</context>
</TS>