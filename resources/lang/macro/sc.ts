<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>MacroDialog</name>
    <message>
        <source>START</source>
        <translation>开始录制</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>停止录制</translation>
    </message>
    <message>
        <source>NEW</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>TOP</source>
        <translation>移到顶部</translation>
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
        <translation>录制动作间的延时</translation>
    </message>
    <message>
        <source>INSERT DEFAULT DELAY</source>
        <translation>插入默认延时</translation>
    </message>
    <message>
        <source>RECORD AFTER</source>
        <translation>在后面录制</translation>
    </message>
    <message>
        <source>Record after the selected row instead of starting a new list</source>
        <translation>在选中的行后面继续录制，而不是重新开始</translation>
    </message>
    <message>
        <source>LOOPS TIME(1-255)</source>
        <translation>循环次数(1-255)</translation>
    </message>
    <message>
        <source>REPEAT RUN WHEN KEY DOWN</source>
        <translation>按住按键时循环</translation>
    </message>
    <message>
        <source>REPEAT RUN UNTIL THE KEY DOWN</source>
        <translation>循环直到再次按下按键</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>EDIT</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>MACRO</source>
        <translation>宏</translation>
    </message>
    <message>
        <source>MACRO NAME</source>
        <translation>宏名称</translation>
    </message>
    <message>
        <source>CHANGE NAME</source>
        <translation>修改名称</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>IMPORT</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>EXPORT</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>BATCH</source>
        <translation>批量设置</translation>
    </message>
    <message>
        <source>Give every delay of the list the default delay</source>
        <translation>把列表中所有延时改为默认延时</translation>
    </message>
    <message>
        <source>INSERT DELAY</source>
        <translation>插入延时</translation>
    </message>
    <message>
        <source>GUN SET</source>
        <translation>压枪设置</translation>
    </message>
    <message>
        <source>DELAY</source>
        <translation>延时</translation>
    </message>
    <message>
        <source>MOVE</source>
        <translation>移动</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <source>MOUSE COMMAND</source>
        <translation>鼠标命令</translation>
    </message>
    <message>
        <source>LEFT CLICK</source>
        <translation>左键</translation>
    </message>
    <message>
        <source>MIDDLE CLICK</source>
        <translation>中键</translation>
    </message>
    <message>
        <source>RIGHT CLICK</source>
        <translation>右键</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>后退</translation>
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
        <translation>弹起</translation>
    </message>
    <message>
        <source>COPY</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>CUT</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>PASTE</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>MOUSE ACTION</source>
        <translation>鼠标动作</translation>
    </message>
    <message>
        <source>KEY</source>
        <translation>按键</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The file could not be read or written.</source>
        <translation>无法读取或写入该文件。</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>TOO MANY MACROS TO BE CREATE!</source>
        <translation>宏数量已达上限，无法再创建！</translation>
    </message>
    <message>
        <source>This name cannot be used for a file. Please choose another name.</source>
        <translation>该名称不能用作文件名，请换一个名称。</translation>
    </message>
    <message>
        <source>Load Macro File</source>
        <translation>加载宏文件</translation>
    </message>
    <message>
        <source>Macro Exist!</source>
        <translation>宏已存在！</translation>
    </message>
    <message>
        <source>Save Macro File</source>
        <translation>保存宏文件</translation>
    </message>
    <message>
        <source>A MACRO HOLDS AT MOST 63 ACTIONS.</source>
        <translation>一个宏最多只能包含 63 个动作。</translation>
    </message>
    <message>
        <source>ONE OR MORE KEYS HAS NOT BEEN RELEASED.</source>
        <translation>有一个或多个按键没有松开。</translation>
    </message>
</context>
<context>
    <name>ZelGunsetDialog</name>
    <message>
        <source>Gun Set</source>
        <translation>压枪设置</translation>
    </message>
    <message>
        <source>GUN SET</source>
        <translation>压枪设置</translation>
    </message>
    <message>
        <source>GUNFILE NAME</source>
        <translation>压枪文件名</translation>
    </message>
    <message>
        <source>BULLETS</source>
        <translation>子弹数</translation>
    </message>
    <message>
        <source>DELAY(MS)</source>
        <translation>延时(毫秒)</translation>
    </message>
    <message>
        <source>MOVE X</source>
        <translation>水平移动</translation>
    </message>
    <message>
        <source>MOVE Y</source>
        <translation>垂直移动</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
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
        <translation>请输入文件名。</translation>
    </message>
    <message>
        <source>This name cannot be used for a file. Please choose another name.</source>
        <translation>该名称不能用作文件名，请换一个名称。</translation>
    </message>
    <message>
        <source> DOWN</source>
        <translation> 按下</translation>
    </message>
    <message>
        <source> UP</source>
        <translation> 弹起</translation>
    </message>
</context>
<context>
    <name>ZelMacroItemDelegate</name>
    <message>
        <source>LEFT CLICK</source>
        <translation>左键</translation>
    </message>
    <message>
        <source>MIDDLE CLICK</source>
        <translation>中键</translation>
    </message>
    <message>
        <source>RIGHT CLICK</source>
        <translation>右键</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>后退</translation>
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
        <translation>按键 0x%1</translation>
    </message>
    <message>
        <source>Press</source>
        <translation>按下</translation>
    </message>
    <message>
        <source>Release</source>
        <translation>松开</translation>
    </message>
</context>
</TS>