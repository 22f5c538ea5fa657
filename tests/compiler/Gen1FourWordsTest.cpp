// Statements of four words: one row per form of each block and per failing step.
#include "Gen1TestSupport.h"

namespace kaso::compiler::test {
namespace {

TEST_F(Gen1Statements, FourWordsMailboxCondition) {
    CheckAll({
        {"(#WAIT=1)SPD=5", {}, false},
        {"(#WAIT=1)SPD 5", {}, false}, // the condition's '=' counts as the action's operator
        {"(#WAIT=1)SPD=XYZ", {46}, true},
        {"(#WAIT=1)OUT1=OUT0", {}, false},
        {"(#WAIT=1)%X=RDY", {}, false},
        {"(#WAIT=1)%Q 5", {26}, true},
        {"(#WAIT=1)GOTO LOOP", {}, false, "(#WAIT=1)GOTO2"},
        {"(#WAIT=1)MOV 5", {}, false}, // no label, but a number: not failed
        {"(#WAIT=1)MOV XYZ", {0, 46}, true},
        {"(#WAIT=1)JOG 5", {0, 0, 46}, true},
        {"(#WAIT=1)#RDY=5", {}, false},
        {"(#WAIT=1)#FF=%X", {}, false},
        {"(#WAIT=1)#RDY=XYZ", {0, 46}, true},
        {"(#WAIT=1)#MOV=5", {}, false},
        {"(#WAIT=1)#MOV=X", {46}, true},
        {"(#WAIT=1)#JOG=5", {0, 0, 46}, true},
        {"(#WAIT)JOG 5 6", {43}, true},
        {"(#WAIT=X)JOG 5", {44}, true},
        {"(#WAIT=1 SPD=5", {43}, true},
    });
}

TEST_F(Gen1Statements, FourWordsHexCondition) {
    CheckAll({
        {"(#1F=1)WAIT 5", {}, false},
        {"(#1F=1)GOTO LOOP", {}, false, "(#1F=1)GOTO2"},
        {"(#1F=1)CALL NOPE", {28}, true},
        {"(#1F=1)SPD=%A", {}, false},
        {"(#1F=1)SPD=5", {46}, true},
        {"(#1F=1)%A=LOOP", {}, false, "(#1F=1)%A=2"},
        {"(#1F=1)%A=XYZ", {43}, true},
        {"(#1F=1)JOG 5", {46}, true}, // a failed line always shows a message
        {"(#1F=FF)#5=6", {}, false},
        {"(#1F=12345)#5=6", {46}, true},
        {"(#1F=FF)#XYZ=6", {46}, true},
        {"(#1F)JOG 5 6", {43}, true},
        {"(#1F=XYZ)JOG 5", {44}, true},
        {"(#1F=1 JOG 5", {45}, true},
    });
}

TEST_F(Gen1Statements, FourWordsStatusCondition) {
    CheckAll({
        {"(#RDY,1=1)WAIT", {}, false},
        {"(#RDY,1=1)%A", {}, false},
        {"(#RDY,1=1)GOTO", {46}, true},
        {"(#RDY,1=1)JOG", {}, false},
        {"(#RDY,1=1)SVON", {}, false},
        {"(#RDY,1=1)FF", {43}, true}, // a second comparison is never counted
        {"(#RDY,1=1)LOOP", {}, false, "(#RDY,1=1)2"},
        {"(#RDY,1=1)XYZ", {44, 44, 44, 44, 28}, true},
        {"(#RDY,1=1)XY@", {}, false},
        {"(#RDY,1=1)XYZABC@", {0, 0, 0, 0, 46}, true},
        {"(#5,1=1)JOG", {}, false},
        {"(#RDY,1=X)JOG", {44}, true},
        {"(#RDY,1)1 JOG", {43}, true},
        {"(#RDY,1=1 JOG", {45}, true},
        {"(#RDY=1)SPD=5", {}, false},
        {"(#RDY=1)SPD=XYZ", {0, 46}, true},
        {"(#RDY=1)5=RDY", {}, false},
        {"(#RDY=1)FF=5", {}, false},
        {"(#RDY=1)FF=X", {46}, true},
        {"(#RDY=1)WAIT 5", {}, false},
        {"(#RDY=1)WAIT %A", {}, false},
        {"(#RDY=1)GOTO LOOP", {}, false, "(#RDY=1)GOTO2"},
        {"(#RDY=1)CALL NOPE", {0, 0, 46}, true},
        {"(#RDY=1)INP 5", {}, false},
        {"(#RDY=1)%A=5", {}, false},
        {"(#RDY=1)%A=LOOP", {}, false, "(#RDY=1)%A=2"},
        {"(#RDY=1)%A=XYZ", {46}, true},
        {"(#RDY=1)JOG 5", {0, 0, 0, 46}, true},
        {"(#!RDY=1)XYZ 5", {0, 0, 0, 46}, true}, // only a word written with '!' loses it
        {"(#RDY)=1 JOG 5", {0, 0, 43}, true},
        {"(#RDY=X)JOG 5", {44}, true},
        {"(#RDY=1 %A=5", {45}, true},
        {"(#XYZ=1)JOG 5", {44}, true},
    });
}

TEST_F(Gen1Statements, FourWordsBitCondition) {
    CheckAll({
        {"(OUT0=1)SPD=5", {}, false},
        {"(OUT0=1)SPD=X", {0, 46}, true},
        {"(OUT0=1)%A=5", {}, false},
        {"(OUT0=1)%A=FF", {}, false},
        {"(OUT0=1)%A=LOOP", {}, false, "(OUT0=1)%A=2"},
        {"(OUT0=1)%A=XYZ", {46, 46, 46}, true},
        {"(OUT0=1)%A=#RDY", {}, false},
        {"(OUT0=1)%A=#XYZ", {0, 46}, true},
        {"(OUT0=1)GOTO LOOP", {}, false, "(OUT0=1)GOTO2"},
        {"(OUT0=1)WAIT 5", {}, false},
        {"(OUT0=1)WAIT XYZ", {0, 0, 46}, true},
        {"(OUT0=1)OUT1=1", {}, false},
        {"(OUT0=1)OUT1=X", {0, 46}, true},
        {"(OUT0=1)JOG 5", {0, 0, 0, 46}, true},
        {"(OUT0=1)#5,1", {}, false},
        {"(OUT0=1)#5,1X", {46}, true},
        {"(OUT0=1)#5=6", {}, false},
        {"(OUT0=1)#5=XYZ", {46}, true},
        {"(OUT0=1)#RDY=1", {}, false},
        {"(OUT0=1)#RDY=X", {46}, true},
        {"(OUT0=1)#XYZ=1", {0, 46}, true},
        {"(OUT0)JOG 5 6", {43}, true},
        {"(OUT0)=1 JOG 5", {43}, true},
        {"(OUT0=X)JOG 5", {46}, true},
        {"(OUT0=1 JOG 5", {45}, true},
    });
}

TEST_F(Gen1Statements, FourWordsVariableComparedWithAddress) {
    CheckAll({
        {"(%A=#RDY)%X=5", {}, false},
        {"(%A=#RDY)%X=%Q", {26}, true},
        {"(%A=#RDY)%X=XYZ", {46}, true},
        {"(%A>#RDY)%X=LOOP", {}, false, "(%A>#RDY)%X=2"},
        {"(%A>#RDY)%X=XYZ", {46}, true},
        {"(%A=#RDY)WAIT 5", {}, false},
        {"(%A=#RDY)GOTO LOOP", {}, false, "(%A=#RDY)GOTO2"},
        {"(%A=#RDY)WAIT %X", {}, false},
        {"(%A=#RDY)CALL XYZ", {0, 0, 46}, true},
        {"(%A=#RDY)%Q 5", {26}, true},
        {"(%A=#RDY)SPD=5", {}, false},
        {"(%A=#RDY)SPD=XYZ", {46}, true},
        {"(%A=#RDY)OUT1=1", {}, false},
        {"(%A=#RDY)OUT1=X", {46}, true},
        {"(%A=#RDY)JOG 5", {0, 46}, true},
        {"(%A=#WAIT)%X=5", {}, false},
        {"(%A=#5)SPD=RDY", {}, false},
        {"(%A=#5)SPD=X", {46}, true},
        {"(%A>#5)JOG 1", {46, 46}, true},
        {"(%A=#5)7=%X", {}, false},
        {"(%A=#5)7=8", {46}, true},
        {"(%A=#5)FF=FF", {}, false},
        {"(%A=#5)FF=XYZ", {46}, true},
        {"(%A=#5)JOG 1", {0, 46}, true},
        {"(%A>#%X)%X=FF", {}, false},
        {"(%A=#%X)%X=FF", {46}, true},
        {"(%A>#%X)%X=XYZ", {46}, true},
        {"(%A>#%X)JOG=1", {46}, true},
        {"(%A=#XYZ)JOG 1", {0, 0, 0, 46}, true},
        {"(%A\\#RDY)%X=5", {43}, true},
        {"(%A=#RDY %X=5", {45}, true},
    });
}

TEST_F(Gen1Statements, FourWordsVariableCondition) {
    CheckAll({
        {"(%A=5)%X=LOOP", {}, false, "(%A=5)%X=2"},
        {"(%A=5)%X=XYZ", {46}, true},
        {"(%A=5)#WAIT=1", {}, false},
        {"(%A=5)#WAIT=X", {46}, true},
        {"(%A=5)#FF=%X", {}, false},
        {"(%A=5)#FF=FF", {}, false},
        {"(%A=5)#FF=XYZ", {0, 46}, true},
        {"(%A=5)#RDY=1", {}, false},
        {"(%A=5)#RDY=X", {0, 46}, true},
        {"(%A=5)#JOG=1", {0, 0, 46}, true},
        {"(%A=5)GOTO LOOP", {}, false, "(%A=5)GOTO2"},
        {"(%A=5)WAIT 5", {}, false},
        {"(%A=5)WAIT XYZ", {0, 44}, true},
        {"(%A=5,1)WAIT", {}, false},
        {"(%A=5,1)JOG", {}, false},
        {"(%A=5,1)XYZ", {0, 44}, true},
        {"(%A=5,X)JOG", {0, 0, 0, 0, 46, 46}, true},
        {"(%A=5)SPD=%X", {}, false},
        {"(%A=5)SPD=X", {0, 46}, true},
        {"(%A=5)OUT1=1", {}, false},
        {"(%A=5)OUT1=X", {46}, true},
        {"(%A=5)JOG 1", {0, 0, 0, 0, 46, 46}, true},
        {"(%A=5 JOG 1", {43}, true},
        {"(%A=%X)WAIT 5", {}, false},
        {"(%A=%X)GOTO LOOP", {}, false, "(%A=%X)GOTO2"},
        {"(%A=%X)CALL XYZ", {46}, true},
        {"(%A=%X)%X=LOOP", {}, false, "(%A=%X)%X=2"},
        {"(%A=%X)%X=XYZ", {46}, true},
        {"(%A=%X)JOG 5", {46, 46}, true},
        {"(%A=%X)#5=%X", {}, false},
        {"(%A=%X)#5=XYZ", {0, 46}, true},
        {"(%A=%X)#XYZ=1", {46}, true},
        {"(%A=%X JOG 5", {45}, true},
        {"(%A=SPD)%X=LOOP", {}, false, "(%A=SPD)%X=2"},
        {"(%A=SPD)JOG=LOOP", {46}, true},
        {"(%A=SPD)%X=XYZ", {43}, true},
        {"(%A=SPD %X=LOOP", {43}, true},
        {"(%A=XYZ)JOG 1", {44, 44, 44}, true},
        {"(%A)5 JOG 1", {43}, true},
        {"(%Q=1)JOG 5", {26}, true},
    });
}

TEST_F(Gen1Statements, FourWordsDataAndMailboxWords) {
    CheckAll({
        {"(SPD=5)%X=LOOP", {}, false, "(SPD=5)%X=2"},
        {"(SPD=5)%X=XYZ", {43}, true},
        {"(SPD=5)WAIT 5", {}, false},
        {"(SPD=5)WAIT %X", {}, false},
        {"(SPD=5)GOTO LOOP", {}, false, "(SPD=5)GOTO2"},
        {"(SPD=5)CALL XYZ", {46}, true},
        {"(SPD=5)JOG 1", {46}, true},
        {"(SPD)5 JOG 1", {43}, true},
        {"(SPD=X)JOG 1", {44}, true},
        {"(SPD=5 JOG 1", {43}, true},
        {"()SQWK 5 XYZ QQQ", {}, false}, // words 3 and 4 are not looked at
        {"()GOTO LOOP XYZ QQQ", {}, false, "()GOTO2XYZQQQ"},
        {"()GOTO XYZ QQQ RRR", {46}, true},
        {"()WAIT 5 XYZ QQQ", {43}, true}, // no jump keyword for word 1 as a label
        {"()JOG POS ABS X", {46}, true},
    });
}

} // namespace
} // namespace kaso::compiler::test
