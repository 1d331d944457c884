#!/usr/bin/env python3
"""Writes the seed corpus of the match-message fuzz target: real message
streams of a match, one file per phase and situation, in the target's input
format (phase byte, then control byte + length byte + the bytes of a read)."""
import os

NO_LINK, COLOUR_CHOICE, GAME, GAME_OVER, ASKED, ASKING = range(6)
ACT, CHAT = 0x10, 0x20

def frame(*messages):
    return b"".join(m.encode("cp1251") + b"::>" for m in messages)

def record(data, wait=1, flags=0):
    out = b""
    while True:  # reads longer than 255 bytes are split
        out += bytes([flags | wait, min(len(data), 255)]) + data[:255]
        data = data[255:]
        if not data:
            return out

SEEDS = {
    "no_link_toss_and_version": (NO_LINK, [record(frame("rbw1", "ver100"))]),
    "colour_choice_claim": (COLOUR_CHOICE, [record(frame("rbw0", "ver100")), record(frame("whiПётр", "vrzw"), 2, ACT)]),
    "colour_choice_answer": (COLOUR_CHOICE, [record(frame("blaАнна")), record(frame("vrzy"), 1, ACT), record(frame("vrzn"))]),
    "game_reply_and_check": (GAME, [record(frame("logl5. e5", "hod42.44"), 6, ACT), record(frame("loga+"), 2)]),
    "game_split_message": (GAME, [record(b"log"), record(b"l5. Kf6::>ho"), record(b"d71.63::>", 6, ACT)]),
    "game_draw_offer": (GAME, [record(frame("logl5. a6=", "hod=12.13"), 9, ACT), record(frame("dra"))]),
    "game_chat_and_probe": (GAME, [record(frame("chtПётр: привет", "oks", "_ok"), 1, CHAT)]),
    "game_promotion_marks": (GAME, [record(frame("logaФ", "loga++", "logl1/2-1/2", "lognl1/2-1/2"))]),
    "game_over_new": (GAME_OVER, [record(frame("new"), 2, ACT), record(frame("rbw1", "whiБорис"), 2, ACT)]),
    "asked_accept": (ASKED, [record(b"", 1, ACT), record(frame("rbw0", "blaБорис"), 2, ACT)]),
    "asking_refused": (ASKING, [record(frame("reg"), 15), record(frame("reg"), 15)]),
    "asking_accepted": (ASKING, [record(frame("acc", "rbw1"), 1, ACT), record(frame("whiX"), 3)]),
    "version_mismatch": (GAME, [record(frame("ver99"), 15), record(frame("ext"), 15)]),
    "opponent_left": (GAME, [record(frame("ext"), 15), record(frame("ext", "new", "hod52.54"), 15)]),
}

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)
for name, (phase, records) in SEEDS.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(bytes([phase]) + b"".join(records))
