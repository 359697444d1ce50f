<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>kestrum::TAboutForm</name>
    <message>
        <location filename="../aboutf.cpp" line="27"/>
        <source>About Kestrum</source>
        <translation>About Kestrum</translation>
    </message>
    <message>
        <location filename="../aboutf.cpp" line="31"/>
        <source>Kestrum for DDO</source>
        <translation>Kestrum for DDO</translation>
    </message>
    <message>
        <location filename="../aboutf.cpp" line="35"/>
        <source>&amp;Ok</source>
        <translation>&amp;Ok</translation>
    </message>
    <message>
        <location filename="../aboutf.cpp" line="47"/>
        <source> (64bit ver.)</source>
        <translation> (64bit ver.)</translation>
    </message>
</context>
<context>
    <name>kestrum::TAddChrForm</name>
    <message>
        <location filename="../addchrf.cpp" line="29"/>
        <location filename="../addchrf.cpp" line="68"/>
        <source>Add Character</source>
        <translation>Add Character</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="34"/>
        <location filename="../addchrf.cpp" line="68"/>
        <source>キャラクター名を入力してください</source>
        <translation>Enter the character&apos;s name</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="46"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="49"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="74"/>
        <source>Delete Character</source>
        <translation>Delete Character</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="74"/>
        <source>削除するキャラクターの名前を入力</source>
        <translation>Type the name of the character to delete</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="80"/>
        <source>Add Raid</source>
        <translation>Add Raid</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="80"/>
        <source>レイド名を入力してください</source>
        <translation>Enter the raid&apos;s name</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="86"/>
        <source>Delete Raid</source>
        <translation>Delete Raid</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="86"/>
        <source>削除するレイドの名前を入力</source>
        <translation>Type the name of the raid to delete</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="128"/>
        <location filename="../addchrf.cpp" line="141"/>
        <source>名前が空白だけです</source>
        <translation>The name is only spaces</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="130"/>
        <source>レイド名に &quot;=&quot; は使えません</source>
        <translation>A raid name cannot contain &quot;=&quot;</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="132"/>
        <source>レイド名の先頭に &quot;;&quot; は使えません</source>
        <translation>A raid name cannot begin with &quot;;&quot;</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="134"/>
        <source>レイド名に改行は使えません</source>
        <translation>A raid name cannot contain a line break</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="136"/>
        <source>キャラのデータのキーと重なる名前です</source>
        <translation>The name clashes with a key of the character data</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="143"/>
        <source>同名キャラがいます</source>
        <translation>A character of this name exists</translation>
    </message>
    <message>
        <location filename="../addchrf.cpp" line="138"/>
        <source>同名のレイドが存在します</source>
        <translation>A raid of this name exists</translation>
    </message>
</context>
<context>
    <name>kestrum::TChrDatForm</name>
    <message>
        <location filename="../chrdatf.cpp" line="61"/>
        <source>Character Data Editor</source>
        <translation>Character Data Editor</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="65"/>
        <source>キャラ名</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="94"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="97"/>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="99"/>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="101"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="188"/>
        <source>同名キャラ有り</source>
        <translation>Name taken</translation>
    </message>
    <message>
        <location filename="../chrdatf.cpp" line="237"/>
        <source>エディターの高さを設定ファイルに保存できませんでした。
</source>
        <translation>The editor&apos;s height could not be saved in the settings file.
</translation>
    </message>
</context>
<context>
    <name>kestrum::TConfirmResetForm</name>
    <message>
        <location filename="../confirmresetf.cpp" line="45"/>
        <source>Confirm Resetting Raid Timer</source>
        <translation>Confirm Resetting Raid Timer</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="50"/>
        <source>Char Name</source>
        <translation>Char Name</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="52"/>
        <source>Raid Name</source>
        <translation>Raid Name</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="56"/>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <location filename="../confirmresetf.cpp" line="57"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kestrum::TKestrumForm</name>
    <message>
        <location filename="../KestrumFormf.cpp" line="47"/>
        <source>次の行のレイド名は保存できないため、名前を付け直しました。</source>
        <translation>The raid names of these rows could not be saved and were renamed.</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="50"/>
        <source><byte value="xd"/>
%1 行目: &quot;%2&quot; → &quot;%3&quot;</source>
        <translation><byte value="xd"/>
row %1: &quot;%2&quot; → &quot;%3&quot;</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="55"/>
        <source><byte value="xd"/>
ほか %1 行</source>
        <translation><byte value="xd"/>
and %1 more rows</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="65"/>
        <source>raid.dat を全部は読めませんでした。元のファイルを残せないため、変更は保存されません。<byte value="xd"/>
%1</source>
        <translation>raid.dat could not be read in full. The file as it was cannot be kept, so changes will not be saved.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="68"/>
        <source>raid.dat を全部は読めませんでした。元のファイルを次の名前で残しました。<byte value="xd"/>
%1</source>
        <translation>raid.dat could not be read in full. The file as it was is kept as:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="109"/>
        <source>Kestrum for DDO</source>
        <translation>Kestrum for DDO</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="109"/>
        <source> (64bit ver.)</source>
        <translation> (64bit ver.)</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="169"/>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="171"/>
        <source>&amp;Character</source>
        <translation>&amp;Character</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="173"/>
        <source>Add Character</source>
        <translation>Add Character</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="175"/>
        <source>Del Character</source>
        <translation>Del Character</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="178"/>
        <source>&amp;Raid</source>
        <translation>&amp;Raid</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="180"/>
        <source>Add Raid</source>
        <translation>Add Raid</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="182"/>
        <source>Del Raid</source>
        <translation>Del Raid</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="185"/>
        <source>&amp;Font</source>
        <translation>&amp;Font</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="188"/>
        <source>&amp;Config</source>
        <translation>&amp;Config</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="190"/>
        <source>Align &amp;Screen</source>
        <translation>Align &amp;Screen</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="195"/>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="200"/>
        <source>Reset Timer</source>
        <translation>Reset Timer</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="333"/>
        <source>エラーが発生しました。データは巻戻ります。<byte value="xd"/>
%1</source>
        <translation>An error occurred. The data has been rolled back.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <location filename="../KestrumFormf.cpp" line="345"/>
        <source>raid.dat が他のプログラムで変更されていたため、読み込み直しました。</source>
        <translation>raid.dat was changed by another program and has been reloaded.</translation>
    </message>
</context>
<context>
    <name>kestrum::TRaidDataFrame</name>
    <message>
        <location filename="../raiddatafrm.cpp" line="148"/>
        <source>日</source>
        <translation>d</translation>
    </message>
    <message>
        <location filename="../raiddatafrm.cpp" line="150"/>
        <source>時間</source>
        <translation>h</translation>
    </message>
    <message>
        <location filename="../raiddatafrm.cpp" line="152"/>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <location filename="../raiddatafrm.cpp" line="153"/>
        <source>回目</source>
        <translation>runs</translation>
    </message>
</context>
<context>
    <name>kestrum::TStartupReport</name>
    <message>
        <location filename="../StartupReport.cpp" line="48"/>
        <source>このフォルダーかファイルは別のユーザーのものです。所有者を自分に変えてください（例: sudo chown -R $USER &quot;%1&quot;）。</source>
        <translation>This folder or file belongs to another user. Make yourself its owner (for example: sudo chown -R $USER &quot;%1&quot;).</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="52"/>
        <source>フォルダーがありません。別のドライブや同期フォルダーへのリンクならそれをマウントし、そうでなければフォルダーを作ってください。</source>
        <translation>The folder does not exist. If it is a link to another drive or a sync folder, mount that; otherwise create the folder.</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="56"/>
        <source>ロックファイルが、このフォルダーの中の自分のファイルを指さないリンクです。リンクを消してください（ファイルは Kestrum が作り直します）。</source>
        <translation>The lock file is a link that does not lead to a file of yours inside this folder. Remove the link (Kestrum creates the file again).</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="60"/>
        <source>このフォルダーかファイルを使う権限がありません。自分に読み書きの権限を与えてください。</source>
        <translation>You have no permission to use this folder or file. Give yourself permission to read and write it.</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="62"/>
        <source>ファイルシステムが読み取り専用です。書き込めるようにマウントし直してください。</source>
        <translation>The file system is read-only. Mount it again so that it can be written.</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="67"/>
        <source>このフォルダーとファイルを確かめてください。</source>
        <translation>Check this folder and file.</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="74"/>
        <source>場所: %1</source>
        <translation>Path: %1</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="76"/>
        <source>リンク先: %1</source>
        <translation>Link to: %1</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="78"/>
        <source>理由: %1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="89"/>
        <source>Kestrum はこのロースター（%1）で既に動いていますが、呼び出せませんでした。応答しないときは終了させてから起動し直してください。</source>
        <translation>Kestrum is already running on the roster in %1 but could not be reached. If it does not respond, end it and start Kestrum again.</translation>
    </message>
    <message>
        <location filename="../StartupReport.cpp" line="99"/>
        <source>%1 は %2 へのリンクですが、そのフォルダーがありません。書き込めるようになるまで保存できません（同期ドライブならマウントしてください）。</source>
        <translation>%1 is a link to %2, whose folder does not exist. Nothing can be saved until it can be written (if it is on a sync drive, mount it).</translation>
    </message>
</context>
</TS>
