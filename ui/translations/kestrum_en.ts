<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>kestrum::TAboutForm</name>
    <message>
        <location filename="../aboutf.cpp" line="28"/>
        <source>About Kestrum</source>
        <translation>About Kestrum</translation>
    </message>
    <message>
        <location filename="../aboutf.cpp" line="34"/>
        <source>Kestrum for DDO</source>
        <translation>Kestrum for DDO</translation>
    </message>
    <message>
        <location filename="../aboutf.cpp" line="38"/>
        <source>&amp;Ok</source>
        <translation>&amp;Ok</translation>
    </message>
    <message>
        <location filename="../aboutf.cpp" line="50"/>
        <source> (64bit ver.)</source>
        <translation> (64bit ver.)</translation>
    </message>
</context>
<context>
    <name>kestrum::TAddChrForm</name>
    <message>
        <location filename="../addchrf.cpp" line="29"/>
        <location filename="../addchrf.cpp" line="70"/>
        <source>Add Character</source>
        <translation>Add Character</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="36"/>
        <location filename="../addchrf.cpp" line="70"/>
        <source>キャラクター名を入力してください</source>
        <translation>Enter the character&apos;s name</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="48"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="51"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="77"/>
        <source>Delete Character</source>
        <translation>Delete Character</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="77"/>
        <source>削除するキャラクターの名前を入力</source>
        <translation>Type the name of the character to delete</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="84"/>
        <source>Add Raid</source>
        <translation>Add Raid</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="84"/>
        <source>レイド名を入力してください</source>
        <translation>Enter the raid&apos;s name</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="90"/>
        <source>Delete Raid</source>
        <translation>Delete Raid</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="90"/>
        <source>削除するレイドの名前を入力</source>
        <translation>Type the name of the raid to delete</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="145"/>
        <source>同名キャラがいます</source>
        <translation>A character of this name exists</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="146"/>
        <source>同名のレイドが存在します</source>
        <translation>A raid of this name exists</translation>
    </message>
</context>
<context>
    <name>kestrum::TChrDatForm</name>
    <message>
        <location filename="../chrdatf.cpp" line="65"/>
        <source>Character Data Editor</source>
        <translation>Character Data Editor</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="71"/>
        <source>キャラ名</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="100"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="103"/>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="105"/>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="107"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="193"/>
        <source>同名キャラ有り</source>
        <translation>Name taken</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="248"/>
        <source>エディターの高さを設定ファイルに保存できませんでした。
</source>
        <translation>The editor&apos;s height could not be saved in the settings file.
</translation>
    </message>
</context>
<context>
    <name>kestrum::TConfirmResetForm</name>
    <message>
        <location filename="../confirmresetf.cpp" line="46"/>
        <source>Confirm Resetting Raid Timer</source>
        <translation>Confirm Resetting Raid Timer</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="53"/>
        <source>Char Name</source>
        <translation>Char Name</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="55"/>
        <source>Raid Name</source>
        <translation>Raid Name</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="59"/>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="60"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kestrum::TKestrumForm</name>
    <message>
        <location filename="../KestrumFormf.cpp" line="57"/>
        <source>raid.dat を全部は読めませんでした。元のファイルを残せないため、変更は保存されません。<byte value="xd"/>
%1</source>
        <translation>raid.dat could not be read in full. The file as it was cannot be kept, so changes will not be saved.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="59"/>
        <source>raid.dat を全部は読めませんでした。元のファイルを次の名前で残しました。<byte value="xd"/>
%1</source>
        <translation>raid.dat could not be read in full. The file as it was is kept as:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="123"/>
        <source>Kestrum for DDO</source>
        <translation>Kestrum for DDO</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="123"/>
        <source> (64bit ver.)</source>
        <translation> (64bit ver.)</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="185"/>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="188"/>
        <source>&amp;Character</source>
        <translation>&amp;Character</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="190"/>
        <source>Add Character</source>
        <translation>Add Character</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="192"/>
        <source>Del Character</source>
        <translation>Del Character</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="195"/>
        <source>&amp;Raid</source>
        <translation>&amp;Raid</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="197"/>
        <source>Add Raid</source>
        <translation>Add Raid</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="199"/>
        <source>Del Raid</source>
        <translation>Del Raid</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="202"/>
        <source>&amp;Font</source>
        <translation>&amp;Font</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="205"/>
        <source>&amp;Config</source>
        <translation>&amp;Config</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="207"/>
        <source>Align &amp;Screen</source>
        <translation>Align &amp;Screen</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="212"/>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="217"/>
        <source>Reset Timer</source>
        <translation>Reset Timer</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="322"/>
        <source>エラーが発生しました。データは巻戻ります。<byte value="xd"/>
%1</source>
        <translation>An error occurred. The data has been rolled back.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>kestrum::TRaidDataFrame</name>
    <message>
        <location filename="../raiddatafrm.cpp" line="147"/>
        <source>日</source>
        <translation>d</translation>
    </message>
    <message>
        <location filename="../raiddatafrm.cpp" line="149"/>
        <source>時間</source>
        <translation>h</translation>
    </message>
    <message>
        <location filename="../raiddatafrm.cpp" line="151"/>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <location filename="../raiddatafrm.cpp" line="152"/>
        <source>回目</source>
        <translation>runs</translation>
    </message>
</context>
</TS>
