#!/usr/bin/env python3
"""Writes src/data/PinyinTable.cpp: the pinyin initial letter of every GB2312 hanzi.

The table has one letter per code point of lead bytes 0xB0-0xF7 and trail bytes 0xA1-0xFE
(72 rows of 94, 6,768 entries; entry = (lead - 0xB0) * 94 + (trail - 0xA1)), a blank where
the code point has no letter. The generated file is committed: building never runs this.

Where the letters come from (nothing is downloaded):
  * Level 1 (0xB0A1-0xD7F9) is sorted by pinyin, so each letter covers one range; the range
    starts are listed below and each is checked against a per-character reading.
  * Level 2 (0xD8A1-0xF7FE) takes the first letter of the per-character reading of ICU's
    Han-Latin transliterator, run through `uconv -x Han-Latin` (Debian package icu-devtools).
  * Then the fixed letters of the polyphonic characters below replace whatever came before,
    and the 43 entries without a letter are blanked (five unassigned code points, 38 radical
    forms).

Usage: tools/gen_pinyin_table.py [OUTPUT]   (default: src/data/PinyinTable.cpp of this tree)
Prints the sha256 of the 6,768-letter string; tests/data/PinyinTest.cpp checks it.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import unicodedata

ROWS = 72
COLS = 94
SIZE = ROWS * COLS
LEVEL1_END = (0xD7 - 0xB0) * COLS + (0xF9 - 0xA1)  # index of 0xD7F9, the last level-1 hanzi

# First character of each letter's range in level 1, with its code.
LEVEL1_STARTS = [
    ("啊", 0xB0A1, "a"), ("芭", 0xB0C5, "b"), ("擦", 0xB2C1, "c"), ("搭", 0xB4EE, "d"),
    ("蛾", 0xB6EA, "e"), ("发", 0xB7A2, "f"), ("噶", 0xB8C1, "g"), ("哈", 0xB9FE, "h"),
    ("击", 0xBBF7, "j"), ("喀", 0xBFA6, "k"), ("垃", 0xC0AC, "l"), ("妈", 0xC2E8, "m"),
    ("拿", 0xC4C3, "n"), ("哦", 0xC5B6, "o"), ("啪", 0xC5BE, "p"), ("期", 0xC6DA, "q"),
    ("然", 0xC8BB, "r"), ("撒", 0xC8F6, "s"), ("塌", 0xCBFA, "t"), ("挖", 0xCDDA, "w"),
    ("昔", 0xCEF4, "x"), ("压", 0xD1B9, "y"), ("匝", 0xD4D1, "z"),
]

# Polyphonic characters whose readings begin with different letters: the letter of the
# reading that counts (the character's first reading).
POLYPHONIC = (
    "凹a 扒b 耙p 膀b 磅b 堡b 暴b 辟p 扁b 便b 泊p 参c 藏c 厕c 侧c 查c 颤z 长c 厂c 朝c 嘲c 车c "
    "乘c 澄c 匙s 仇c 臭c 传c 幢z 撮c 搓c 呆d 单d 掸d 弹t 翟z 佃d 调t 丁d 侗d 恫d 堆d 蹲d 囤t "
    "舵d 堕d 恶e 番f 繁f 冯f 否f 拂f 脯p 镐g 革g 蛤h 给g 谷g 广g 龟g 柜g 夯b 呵h 合h 貉h 嘿h "
    "红h 唬h 哗h 坏h 会h 荤h 稽j 缉j 祭j 夹j 贾j 槛k 见j 将j 降j 侥j 缴j 剿j 解j 芥g 咀j 句j "
    "均j 浚j 卡k 咯g 楷k 扛k 壳k 咳k 吭k 傀k 溃k 括g 蜡l 腊l 姥l 乐l 纶l 蔓m 芒m 秘m 泌m 娩m "
    "鸟n 尿n 弄l 刨p 炮p 匹p 屏p 魄p 埔p 曝b 瀑p 期q 栖x 其q 奇q 齐q 契q 铅q 乾q 浅q 嵌k 强q "
    "鞘q 茄j 区q 券q 炔q 刹s 裳s 勺s 沈s 省s 盛s 石s 识s 适s 氏s 属s 术s 衰s 说s 伺s 宿s 塔t "
    "汤t 倘t 陶t 提t 屯t 驮t 万w 蔚w 尉w 挝w 涡w 无w 系x 戏x 虾x 厦s 吓x 纤q 巷x 嚣x 校x 挟x "
    "邪x 行x 戌x 嘘x 畜c 叶y 曳y 遗y 屹y 涌y 俞y 吁x 攒z 曾c 喳z 栅z 粘z 召z 折z 殖z 峙s 种z "
    "重z 粥z 拽y 椎z 兹z 卒z 鬲g 亟j 乜m 嘏g 剡s 仡g 伽j 俟q 阽d 陂p 隗k 郇h 圩x 圻q 坻c 垌t "
    "埤b 苣j 芘b 苕s 茜x 荑y 茈c 荠j 荥x 莩f 莞w 菀w 葚r 尢y 拗n 摺z 叨d 呔d 吡b 呲c 喋d 嗒d "
    "喔o 嗄a 嗌a 嘬c 噱j 囝n 圜h 帱c 峒d 峤j 彷p 廑j 忪s 悝l 阚k 沌d 泷l 泺l 浍h 浒h 渑m 湫q "
    "溱q 漯l 澹d 骀d 骠b 纥h 绨d 缏b 缲q 玢f 杓s 枸g 栎l 柁t 栝g 桧g 椹s 楂c 炅g 犍j 腌y 腧s "
    "欹q 歙s 於w 焯c 焘t 祢m 禅c 慝n 沓t 砉h 硌g 睥p 町d 钯b 钹b 铤d 铫d 镡c 鹄h 瘕x 窨x 袷j "
    "褚z 裼t 裨b 矜q 颉j 颌h 蛸s 蝤q 繇y 蹊q 靓l 瞿q"
)

# Radical forms: in the table but never a letter.
RADICALS = "丶 匚 刂 冂 亻 勹 亠 冫 冖 讠 卩 阝 廴 凵 艹 廾 扌 呒 彡 犭 夂 饣 忄 丬 氵 宀 辶 彐 屮 纟 攵 灬 礻 肀 钅 疒 衤 虍"

# The five unassigned code points at the end of level 1.
UNASSIGNED = [0xD7FA, 0xD7FB, 0xD7FC, 0xD7FD, 0xD7FE]


def fail(message):
    sys.exit("gen_pinyin_table: " + message)


def index_of(code):
    return ((code >> 8) - 0xB0) * COLS + ((code & 0xFF) - 0xA1)


def code_of(index):
    return ((0xB0 + index // COLS) << 8) | (0xA1 + index % COLS)


def characters():
    """The character of every entry, None where GB2312 assigns none."""
    out = []
    for i in range(SIZE):
        code = code_of(i)
        try:
            out.append(bytes([code >> 8, code & 0xFF]).decode("gb2312"))
        except UnicodeDecodeError:
            out.append(None)
    return out


def icu_letters(chars):
    """First letter of ICU's Han-Latin reading of each character ('' where there is none)."""
    if shutil.which("uconv") is None:
        fail("uconv not found; install the Debian package icu-devtools")
    text = "\n".join(c if c else "-" for c in chars) + "\n"
    done = subprocess.run(["uconv", "-f", "utf-8", "-t", "utf-8", "-x", "Han-Latin"],
                          input=text.encode("utf-8"), capture_output=True, check=True)
    readings = done.stdout.decode("utf-8").split("\n")[:SIZE]
    if len(readings) != SIZE:
        fail("uconv returned %d lines, expected %d" % (len(readings), SIZE))
    letters = []
    for c, reading in zip(chars, readings):
        if not c:
            letters.append("")
            continue
        bare = "".join(ch for ch in unicodedata.normalize("NFD", reading)
                       if not unicodedata.combining(ch)).lower()
        letters.append(bare[:1] if bare[:1].isascii() and bare[:1].isalpha() else "")
    return letters


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "data", "PinyinTable.cpp")

    chars = characters()
    icu = icu_letters(chars)
    table = [" "] * SIZE

    # Level 1 by ranges, each range start checked against ICU: the start character reads
    # with its range's letter and the character before it with the previous range's.
    starts = []
    for n, (ch, code, letter) in enumerate(LEVEL1_STARTS):
        i = index_of(code)
        if chars[i] != ch:
            fail("%04X is %r, expected %s" % (code, chars[i], ch))
        if icu[i] != letter:
            fail("range start %s %04X reads %r, expected %r" % (ch, code, icu[i], letter))
        if n > 0 and icu[i - 1] != LEVEL1_STARTS[n - 1][2]:
            fail("character before range start %s %04X reads %r" % (ch, code, icu[i - 1]))
        starts.append(i)
    starts.append(LEVEL1_END + 1)
    differ = []
    for n, (_, _, letter) in enumerate(LEVEL1_STARTS):
        for i in range(starts[n], starts[n + 1]):
            table[i] = letter
            if icu[i] != letter:
                differ.append("%s%04X:%s/%s" % (chars[i], code_of(i), letter, icu[i]))

    # Level 2 from ICU.
    for i in range(LEVEL1_END + 1, SIZE):
        if chars[i] is None:
            continue
        if not icu[i]:
            fail("no reading for %s %04X" % (chars[i], code_of(i)))
        table[i] = icu[i]

    # Fixed letters of the polyphonic characters.
    words = POLYPHONIC.split()
    if len(words) != 320 or len({w[0] for w in words}) != 320:
        fail("polyphonic list must hold 320 distinct characters")
    changed = []
    for w in words:
        ch, letter = w[0], w[1]
        if ch not in chars:
            fail("%s is not a GB2312 hanzi" % ch)
        i = chars.index(ch)
        if table[i] != letter:
            changed.append("%s%04X:%s->%s" % (ch, code_of(i), table[i], letter))
        table[i] = letter

    # Entries without a letter.
    radicals = RADICALS.split()
    if len(radicals) != 38:
        fail("expected 38 radical forms")
    for ch in radicals:
        if ch not in chars:
            fail("radical form %s is not in the table" % ch)
        table[chars.index(ch)] = " "
    for code in UNASSIGNED:
        if chars[index_of(code)] is not None:
            fail("%04X is assigned" % code)
        table[index_of(code)] = " "

    letters = "".join(table)
    if len(letters) != SIZE or letters.count(" ") != 43:
        fail("table has %d entries, %d blank" % (len(letters), letters.count(" ")))
    if set(letters) - set(" abcdefghjklmnopqrstwxyz"):
        fail("unexpected letters %s" % sorted(set(letters) - set(" abcdefghjklmnopqrstwxyz")))

    lines = [
        "// Generated by tools/gen_pinyin_table.py; do not edit by hand.",
        "// First pinyin letter of each GB2312 hanzi, lead bytes 0xB0-0xF7 by trail bytes 0xA1-0xFE;",
        "// entry (lead - 0xB0) * 94 + (trail - 0xA1). A blank means the code point has no letter.",
        '#include "data/Pinyin.h"',
        "",
        "namespace data {",
        "",
        "namespace {",
        "constexpr char kLetters[] =",
    ]
    for r in range(ROWS):
        row = letters[r * COLS:(r + 1) * COLS]
        lines.append('    "%s" // %02X' % (row, 0xB0 + r))
    lines[-1] = lines[-1].replace('" //', '"; //')
    lines += [
        "static_assert(sizeof(kLetters) == %d + 1);" % SIZE,
        "} // namespace",
        "",
        "QByteArrayView pinyinLetterTable()",
        "{",
        "    return QByteArrayView(kLetters, sizeof(kLetters) - 1);",
        "}",
        "",
        "} // namespace data",
        "",
    ]
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))

    print("wrote %s" % output)
    print("level 1 entries whose ICU reading starts with another letter (range/ICU): %d" % len(differ))
    print("  " + " ".join(differ))
    print("entries changed by the polyphonic list (was->now): %d" % len(changed))
    print("  " + " ".join(changed))
    print("sha256 %s" % hashlib.sha256(letters.encode("ascii")).hexdigest())


if __name__ == "__main__":
    main()
