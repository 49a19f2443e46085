// The page's own words, in English and Chinese: app.js puts them in place
// for the language chosen on the page. Each language has the same keys;
// a key that is a function takes the values its text needs. Elements of
// index.html name their word in data-t (their text) or data-title (their
// tooltip). The Chinese texts break lines only between elements: a line
// break inside Chinese text would show as a space.
'use strict';

window.ADT_TEXTS = {
  en: {
    title: 'Tree and queue menus',
    program: 'Program',
    tree: 'tree_menu (binary tree)',
    queue: 'queue_menu (circular queue)',
    options: 'Options',
    treePlaceholder: 'e.g. --tree AB##C##',
    queuePlaceholder: 'e.g. --file queue2.dat',
    drawTitle: 'a picture of the structure above each menu',
    traceTitle: 'each stack step of the walks (options 17 to 20)',
    stepTitle: 'the walks of options 17 to 20 one step at a time',
    learnTitle: '--draw and --trace, and what each pause waits for',
    restart: 'Restart',
    restartNote: 'A change restarts the program at once.',
    copyLink: 'Copy link',
    help: 'How to use',
    files: 'data.dat, kept in this browser:',
    download: 'Download',
    upload: 'Load from a file…',
    enter: 'Enter',
    next: 'Next',
    back: 'Back',
    toEnd: 'To the end',
    play: 'Play',
    pause: 'Pause',
    speed: 'Speed',
    linkCopied: 'Link copied:',
    linkShown: 'Copy this link:',
    noData: 'There is no data.dat yet: save the queue first (option 10).',
    loaded: (name, values, extra) => 'Loaded “' + name + '” as data.dat: ' + values +
      (values === 1 ? ' value' : ' values') + (extra === 1 ? ' (and 1 byte that makes no whole value)'
        : extra ? ' (and ' + extra + ' bytes that make no whole value)' : '') +
      '. Choose 11 to read it.',
    tooMany: (name, values) => 'Loaded “' + name + '” as data.dat: ' + values +
      ' values, more than the queue holds (99): option 11 will refuse it.',
    ended: (program, status) => '[' + program + ' ended, status ' + status + '. Press Enter to start it again.]',
    stopped: (error) => '[the program stopped: ' + error + ']',
    unclosed: (quote) => 'The options have a ' + quote + ' that is not closed: close it (or remove it) and ' +
      'press Enter in the options field.',
    cannotLoad: (file) => 'Cannot load ' + file + '.',
    fromFile: 'This page was opened as a file, and a browser runs no program from a file:// address. ' +
      'Serve its folder instead: in the folder of index.html run\r\n\r\n' +
      '    python3 -m http.server 8000\r\n\r\nthen open http://localhost:8000/',
    helpHtml: `
<h2>How to use</h2>
<p>Click or tap the terminal and type, as at a console.</p>
<ul>
<li><b>Choose</b> an option: type its number and press Enter. 0 ends the program.</li>
<li><b>The pause</b>: after each option the program waits before it shows the menu again.
  Press Enter <span class="tree-only">twice (three times after options 9, 10, 15 and 16)</span><span
  class="queue-only">once</span>. What you type there is swallowed. With --learn a line says how many.</li>
<li class="tree-only"><b>Positions</b> (options 8 to 14): the root is 1, the children of k are 2k and 2k + 1.
  Option 9 reads the position and the value together: <code>5Z</code> puts Z at position 5.</li>
<li class="queue-only"><b>Option 7</b> appends a number; 10 saves the queue to data.dat, 11 loads it back.</li>
</ul>
<h3>Options</h3>
<dl>
<dt>--draw</dt><dd>a picture of the <span class="tree-only">tree</span><span class="queue-only">queue's storage</span>
  above each menu</dd>
<dt class="tree-only">--trace</dt><dd class="tree-only">options 17 to 20 show their walk as a table: each push and pop
  of the stack</dd>
<dt class="tree-only">--step</dt><dd class="tree-only">options 17 to 20 show their walk one step at a time; the buttons
  under the terminal go to the next step, back one, to the end, or play the walk; a step's number and Enter go to
  that step</dd>
<dt>--learn</dt><dd>--draw<span class="tree-only"> and --trace</span>, a line before each pause saying how many presses
  of Enter it waits for, and a line naming a choice out of range</dd>
<dt class="tree-only">--tree AB##C##</dt><dd class="tree-only">options 3 and 15 build this tree instead: its preorder,
  <code>#</code> for an empty subtree</dd>
<dt class="queue-only">--file NAME</dt><dd class="queue-only">options 10 and 11 use NAME instead of data.dat</dd>
</dl>
<p>A change of program or option restarts the program at once. <b>Copy link</b> gives an address that opens this page
  with the same program, options and language.</p>
<p class="queue-only"><b>data.dat</b> lives in this browser and stays across reloads until the site's data is cleared.
  Download saves it on the computer; Load from a file puts one in its place (4-byte little-endian integers, as the
  desktop programs write it).</p>
<p><b>Keys</b>: Backspace edits the line; Ctrl-D on an empty line ends the input, and so the program; once it has
  ended, Enter starts it again.</p>`,
  },
  zh: {
    title: '树与队列菜单',
    program: '程序',
    tree: 'tree_menu（二叉树）',
    queue: 'queue_menu（循环队列）',
    options: '选项',
    treePlaceholder: '例如 --tree AB##C##',
    queuePlaceholder: '例如 --file queue2.dat',
    drawTitle: '在每次显示菜单之前画出数据结构',
    traceTitle: '用表格显示遍历中栈的每一步（选项17至20）',
    stepTitle: '一步一步地显示选项17至20的遍历',
    learnTitle: '--draw 和 --trace，并说明每次暂停要按几次回车',
    restart: '重新开始',
    restartNote: '任何更改都会立即重新启动程序。',
    copyLink: '复制链接',
    help: '使用说明',
    files: 'data.dat（保存在本浏览器中）：',
    download: '下载',
    upload: '从文件载入…',
    enter: '回车',
    next: '下一步',
    back: '上一步',
    toEnd: '到结尾',
    play: '播放',
    pause: '暂停',
    speed: '速度',
    linkCopied: '链接已复制：',
    linkShown: '请复制此链接：',
    noData: '还没有 data.dat：请先保存队列（选项10）。',
    loaded: (name, values, extra) => '已把“' + name + '”载入为 data.dat：共' + values + '个值' +
      (extra ? '（另有' + extra + '个字节不足一个值）' : '') + '。选择11即可读取。',
    tooMany: (name, values) => '已把“' + name + '”载入为 data.dat：共' + values +
      '个值，超过队列的容量（99个）：选项11将拒绝读取。',
    ended: (program, status) => '[' + program + ' 已结束，退出状态' + status + '。按回车键重新开始。]',
    stopped: (error) => '[程序已停止：' + error + ']',
    unclosed: (quote) => '选项中的 ' + quote + ' 没有配对的另一个 ' + quote + '：请补上或删去它，然后在选项框中按回车键。',
    cannotLoad: (file) => '无法载入 ' + file + '。',
    fromFile: '本页面是作为文件打开的，而浏览器不会运行 file:// 地址中的程序。' +
      '请改为通过网络服务器打开：在 index.html 所在的文件夹中运行\r\n\r\n' +
      '    python3 -m http.server 8000\r\n\r\n然后打开 http://localhost:8000/',
    helpHtml: `
<h2>使用说明</h2>
<p>单击或轻触终端，然后像在控制台中一样输入。</p>
<ul>
<li><b>选择</b>选项：输入它的编号并按回车键。0 结束程序。</li>
<li><b>暂停</b>：每个选项之后，程序会等待，然后再显示菜单。请按回车键<span class="tree-only">两次（选项9、10、15和16之后按三次）</span><span class="queue-only">一次</span>。暂停时输入的内容会被丢弃。使用 --learn 时，会有一行提示要按几次。</li>
<li class="tree-only"><b>序号</b>（选项8至14）：根是1，结点k的孩子是2k和2k+1。选项9同时读取序号和值：<code>5Z</code> 把Z放到序号5。</li>
<li class="queue-only"><b>选项7</b>添加一个整数；选项10把队列保存到 data.dat，选项11再把它读回来。</li>
</ul>
<h3>选项</h3>
<dl>
<dt>--draw</dt><dd>在每次显示菜单之前画出<span class="tree-only">树</span><span class="queue-only">队列的存储</span></dd>
<dt class="tree-only">--trace</dt><dd class="tree-only">选项17至20用表格显示遍历：栈的每次入栈和出栈</dd>
<dt class="tree-only">--step</dt><dd class="tree-only">选项17至20一步一步地显示遍历；终端下方的按钮可以前进一步、后退一步、直接到结尾或自动播放；输入步数并按回车键可跳到该步</dd>
<dt>--learn</dt><dd>--draw<span class="tree-only">和 --trace</span>，每次暂停前说明要按几次回车键，并指出超出范围的选择</dd>
<dt class="tree-only">--tree AB##C##</dt><dd class="tree-only">选项3和15改为构造这棵树：按先序写出，<code>#</code> 表示空子树</dd>
<dt class="queue-only">--file NAME</dt><dd class="queue-only">选项10和11使用 NAME 而不是 data.dat</dd>
</dl>
<p>更改程序或选项会立即重新启动程序。<b>复制链接</b>得到的地址会以相同的程序、选项和语言打开本页面。</p>
<p class="queue-only"><b>data.dat</b> 保存在本浏览器中，重新载入页面后仍在，直到清除本网站的数据。“下载”把它保存到电脑上；“从文件载入”用电脑上的文件替换它（每个值4个字节，小端整数，与桌面程序的格式相同）。</p>
<p><b>按键</b>：退格键修改本行；在空行上按 Ctrl-D 结束输入，程序也就结束；结束后按回车键重新开始。</p>`,
  },
};
