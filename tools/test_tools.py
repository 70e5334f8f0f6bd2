#!/usr/bin/env python3
"""Tests of the asset tools: the script assembler, the game check, the
MIDI and wave writers. Run: python3 tools/test_tools.py"""

import io
import os
import shutil
import sys
import tempfile
import unittest
from contextlib import redirect_stdout

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import audio  # noqa: E402
import check_game  # noqa: E402
import icons  # noqa: E402
import midi  # noqa: E402
import qovasm  # noqa: E402
import simulate  # noqa: E402
import song  # noqa: E402

GAME = os.path.join(os.path.dirname(HERE), 'game')


class AssemblerTest(unittest.TestCase):
    def test_labels_offsets_constants_and_continuations(self):
        src = ('# comment\n$def T 02\n:top\nLET,%T%,1\n\n  GOTO,{end}\n'
               'MES,a \\\n   b￥\n:end\nIF,F%T%=01,{top+1}\n')
        lines, labels = qovasm.assemble(src)
        self.assertEqual(lines, ['LET,02,1', 'GOTO,4', 'MES,a b￥', 'IF,F02=01,2'])
        self.assertEqual(labels, {'top': 1, 'end': 4})

    def test_tables_hold_free_text_and_conditions_keep_braces(self):
        src = 'FP,1,{e}\n何でも書ける行￥\n:e\nENDFP\nIF,F01{05,{e}\n'
        lines, _ = qovasm.assemble(src)
        self.assertEqual(lines[0], 'FP,1,3')
        self.assertEqual(lines[3], 'IF,F01{05,3')

    def test_faults_are_reported(self):
        for src in ('GOTO,{nowhere}\n', 'MOVE,1\n', ':a\n:a\nRET\n', 'MES,a,b\n',
                    'LET,%X%,1\n', 'MES,\u2600\n', 'MES,a \\\n'):
            with self.assertRaises(qovasm.AsmError, msg=src):
                qovasm.assemble(src)

    def test_output_is_cp932_with_crlf(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, 'x.QOV')
            qovasm.write_qov(path, ['MES,夏灯り￥', 'EXIT'])
            with open(path, 'rb') as f:
                data = f.read()
        self.assertEqual(data, 'MES,夏灯り￥\r\nEXIT\r\n'.encode('cp932'))


class GameCheckTest(unittest.TestCase):
    """The bundled game passes; each planted fault is found."""

    def run_check(self, game):
        out = io.StringIO()
        with redirect_stdout(out):
            status = check_game.main(['check_game.py', game, '--quiet'])
        return status, out.getvalue()

    def test_bundled_game_passes(self):
        status, out = self.run_check(GAME)
        self.assertEqual(status, 0, out)

    def planted(self, script, old, new):
        d = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, d)
        for name in os.listdir(GAME):
            if name.endswith(('.QOV', '.MID')) or name == 'wnatu.QOV':
                shutil.copy(os.path.join(GAME, name), d)
            else:
                # large assets: a link is enough for the checks
                os.symlink(os.path.join(GAME, name), os.path.join(d, name))
        path = os.path.join(d, script)
        with open(path, 'rb') as f:
            text = f.read().decode('cp932')
        self.assertIn(old, text)
        with open(path, 'wb') as f:
            f.write(text.replace(old, new, 1).encode('cp932'))
        return self.run_check(d)

    def test_faults(self):
        # The house rules; what the player refuses is tested with qov --check (tests/author).
        cases = [
            ('wnatu.QOV', 'GHG,TITLE', 'GHG,Title', 'case differs'),
            ('natu1.QOV', 'CASE,203', 'CASE,208', 'no CASE 203'),
            ('natu1.QOV', 'もう持っている。￥', 'もう持っている。', 'not read'),
            ('natu2.QOV', 'EOF', 'EXIT', 'EOF'),
            ('natu2.QOV', 'MUSPL,,0\r\nMUSPL,owari,1', 'MUSPL,owari,1\r\nMUSPL,owari,1',
             'without a stop'),
        ]
        for script, old, new, expect in cases:
            with self.subTest(expect=expect):
                status, out = self.planted(script, old, new)
                self.assertEqual(status, 1, out)
                self.assertIn(expect, out)

    def test_message_layout(self):
        rep = check_game.Report()
        st = check_game.scan_message('：1あ＾い￥', 'x', rep)
        self.assertTrue(st.ends_with_wait)
        self.assertEqual(st.speakers_used, {1})
        # 32 characters after the indentation fill a line; three lines fill a page,
        # so a ￥ right after them waits on an empty window
        full = 'あ' * 96
        check_game.scan_message(full + '￥', 'y', rep)
        self.assertTrue(any('empty window' in w for w in rep.warnings))
        st = check_game.scan_message('items ＊05', 'z', rep)
        self.assertTrue(st.ends_with_wait)
        st = check_game.scan_message('no wait', 'z', rep)
        self.assertFalse(st.ends_with_wait)


class MediaTest(unittest.TestCase):
    def test_midi_round_trip(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, 't.MID')
            t = midi.Track('t', 0, 73)
            t.line(0, 'C5:1 r:1 E5:1.5 G5:0.5')
            t.note(3.5, 2, 60)  # rings past the end: cut at the end
            midi.write_smf(path, 120, 4, [t])
            fmt, ntrk, div, tempos, programs, notes, secs = midi.read_smf(path)
        self.assertEqual((fmt, ntrk, div), (1, 2, 480))
        self.assertEqual(tempos, [(0, 500000)])
        self.assertEqual(programs, {(0, 73)})
        self.assertEqual(notes, 4)
        self.assertAlmostEqual(secs, 2.0)
        self.assertEqual(midi.note_number('C4'), 60)
        self.assertEqual(midi.note_number('F#5'), 78)
        self.assertEqual(midi.note_number('Bb3'), 58)

    def test_wave_header_and_song_plan(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, 't.wav')
            audio.write_wav(path, [0.0, 0.5, -0.5, 1.5])
            self.assertEqual(audio.read_wav_header(path), (1, 22050, 16, 4 / 22050))
        song.check_sections()
        self.assertEqual(song.SECTION_STARTS, [1, 9, 15, 21, 26, 32, 37, 43, 49, 55, 60])


class IconTest(unittest.TestCase):
    def test_installed_icons_are_the_generated_ones(self):
        # The 32 x 32 application icon is the demo game's window icon, pixel for pixel.
        installed = os.path.join(os.path.dirname(HERE), 'dist', 'icons')
        with tempfile.TemporaryDirectory() as out, redirect_stdout(io.StringIO()):
            icons.main(['icons.py', out])
            icons.write_png_rgba(os.path.join(out, 'ICON.PNG'), 32, 32,
                                 icons.pixel_art_icon(icons.window_icon_rows()))
            for name in sorted(os.listdir(out)):
                kept = os.path.join(GAME if name == 'ICON.PNG' else installed, name)
                with open(os.path.join(out, name), 'rb') as made, open(kept, 'rb') as k:
                    self.assertEqual(made.read(), k.read(), kept + ' differs: run tools/make-assets')

    def test_window_icon_is_read_as_drawn(self):
        rows = icons.window_icon_rows()
        self.assertEqual(rows[0], '..............0000..............')
        pixels = icons.pixel_art_icon(rows)
        self.assertEqual(pixels[0], (0, 0, 0, 0))
        self.assertEqual(pixels[14], (0, 0, 0, 255))
        self.assertEqual(pixels[10 * 32 + 12], (255, 255, 0, 255))


class RouteTest(unittest.TestCase):
    """Plays the routes of the story through the scripts, headless."""

    def play(self, *choices, save=None):
        d = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, d)
        sim = simulate.Sim(GAME, choices, save_path=save or os.path.join(d, 'TOVELI2.DAT'),
                           out=lambda text: None)
        result = sim.run()
        self.assertNotEqual(result, 'error', sim.log[-1])
        return sim

    SEA = ('はじめから', '移動…', '屋台通り', '調べる', 'ラムネ屋', '持ち物', 'ラムネ',
           '持ち物', 'マッチ', '移動…', '浜辺', '調べる')
    SHRINE = ('はじめから', '移動…', '港', '話す', '移動…', '神社', '持ち物', 'お守り',
              '移動…', '港', '持ち物', '鍵', '調べる')

    def test_sea_route_finds_the_bell(self):
        sim = self.play(*self.SEA, 'その他…', '灯籠流しへ', 'おわる')
        self.assertIn('[picture END1]', sim.log)
        self.assertEqual(sim.item_count[9], 1)
        self.assertEqual(sim.log[-1], '[end of program]')

    def test_shrine_route_finds_the_letter(self):
        sim = self.play(*self.SHRINE, '移動…', '神社', '持ち物', '手紙', 'タイトルへ', 'おわる')
        self.assertIn('[picture END2]', sim.log)
        self.assertEqual(sim.vars[5], 2)

    def test_both_found_and_gifts(self):
        sim = self.play(*self.SEA, '移動…', '港', '話す', '移動…', '神社', '持ち物', 'お守り',
                        '持ち物', '鈴', 'おわる')
        self.assertIn('[picture END1]', sim.log)
        self.assertTrue(any('線香花火！' in t for t in sim.log))

    def test_midnight_without_anything(self):
        sim = self.play('はじめから', *(['その他…', 'ひと休み'] * 6), 'おわる')
        self.assertIn('[picture END3]', sim.log)
        self.assertEqual(sim.vars[2], 7)

    def test_continue_without_and_with_a_save(self):
        d = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, d)
        save = os.path.join(d, 'TOVELI2.DAT')
        sim = self.play('つづきから', 'おわる', save=save)
        self.assertTrue(any('セーブデータがありません' in t for t in sim.log))
        self.play('はじめから', '移動…', '浜辺', 'その他…', 'セーブ', save=save)
        with open(save, 'rb') as f:
            self.assertEqual(f.read().count(b'\r\n'), 65)
        sim = self.play('つづきから', save=save)
        self.assertIn('[script natu1]', sim.log)
        self.assertIn('[picture BEACH]', sim.log)
        self.assertEqual(sim.vars[2], 2)

    def test_side_paths(self):
        sim = self.play('あそびかた', 'オープニング', 'はじめから', '調べる', 'おみくじ',
                        '調べる', 'お参り', '移動…', '屋台通り', '調べる', '金魚すくい',
                        'やってみる', 'もう一回', '話す', 'ソウタ', '持ち物', '金魚',
                        '持ち物', 'やめる', '見出し', '移動…', '浜辺', '持ち物', '提灯',
                        '持ち物', '地図', '話す', '移動…', '港', '調べる')
        self.assertIn('[opening]', sim.log)
        self.assertEqual(sim.item_count[7], 0)
        self.assertEqual(sim.vars[6], 1)
        self.assertEqual(sim.vars[14], 2)


if __name__ == '__main__':
    unittest.main()
