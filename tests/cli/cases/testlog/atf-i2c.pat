earlier
       1 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
       2 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
       3 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
       4 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
       5 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
       6 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
       7 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
       8 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
       9 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
      10 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
      11 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
      12 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
      13 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
      14 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
      15 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
      16 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
      17 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
      18 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! 
      19 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
      20 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
      21 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
      22 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
      23 Waveset1        2 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7]
      24 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7] : 0
      25 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6]
      26 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6] : 0
      27 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5]
      28 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5] : 0
      29 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4]
      30 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4] : 1
      31 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3]
      32 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3] : 1
      33 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2]
      34 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2] : 0
      35 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1]
      36 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1] : 0
      37 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0]
      38 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
      39 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
      40 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
      41 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
      42 Waveset1        2 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! D[7]
      43 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! D[7] : 0
      44 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! D[6]
      45 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! D[6] : 0
      46 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! D[5]
      47 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! D[5] : 1
      48 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! D[4]
      49 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! D[4] : 1
      50 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! D[3]
      51 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! D[3] : 1
      52 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! D[2]
      53 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! D[2] : 1
      54 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! D[1]
      55 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! D[1] : 0
      56 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! D[0]
      57 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! D[0] : 0
! ==> end write data 
      58 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
      59 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
      60 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
      61 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
      62 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
      63 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; !  WR(h19,h3C)  
! ==> end stop condition 
      64 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
      65 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
      66 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
      67 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
      68 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
      69 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
      70 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
      71 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
      72 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
      73 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
      74 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
      75 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
      76 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
      77 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
      78 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
      79 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
      80 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
      81 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! 
      82 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
      83 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
      84 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
      85 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
      86 Waveset1        2 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7]
      87 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7] : 0
      88 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6]
      89 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6] : 0
      90 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5]
      91 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5] : 0
      92 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4]
      93 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4] : 1
      94 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3]
      95 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3] : 1
      96 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2]
      97 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2] : 0
      98 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1]
      99 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1] : 0
     100 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0]
     101 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
     102 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     103 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     104 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     105 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     106 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     107 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
     108 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
     109 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
     110 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
     111 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
     112 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
     113 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
     114 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
     115 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
     116 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
     117 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
     118 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
     119 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
     120 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
     121 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
     122 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     123 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
     124 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     125 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     126 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     127 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     128 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[7] : L
     129 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     130 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[6] : L
     131 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     132 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[5] : H
     133 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     134 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[4] : H
     135 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     136 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[3] : H
     137 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     138 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[2] : H
     139 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     140 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[1] : L
     141 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     142 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[0] : L
! ==> end write data 
     143 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     144 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     145 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     146 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     147 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     148 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; !  RD(h19,h3C,hFF)  
! ==> end stop condition 
     149 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     150 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     151 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
     152 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
     153 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
     154 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
     155 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
     156 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
     157 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
     158 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
     159 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
     160 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
     161 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
     162 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
     163 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
     164 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
     165 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
     166 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     167 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
     168 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     169 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     170 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     171 Waveset1        2 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7]
     172 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7] : 0
     173 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6]
     174 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6] : 0
     175 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5]
     176 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5] : 0
     177 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4]
     178 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4] : 1
     179 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3]
     180 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3] : 1
     181 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2]
     182 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2] : 0
     183 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1]
     184 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1] : 0
     185 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0]
     186 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
     187 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     188 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     189 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     190 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     191 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     192 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
     193 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
     194 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
     195 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
     196 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
     197 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
     198 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
     199 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
     200 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
     201 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
     202 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
     203 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
     204 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
     205 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
     206 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
     207 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     208 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
     209 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     210 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     211 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     212 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     213 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[7] : L
     214 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     215 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[6] : L
     216 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     217 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[5] : H
     218 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     219 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[4] : H
     220 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     221 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[3] : H
     222 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     223 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[2] : H
     224 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     225 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[1] : L
     226 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     227 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[0] : L
! ==> end write data 
     228 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     229 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     230 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     231 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     232 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     233 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; !  RD(h19,h3C,hFF)  
! ==> end stop condition 
     234 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     235 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     236 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
     237 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
     238 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
     239 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
     240 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
     241 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
     242 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
     243 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
     244 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
     245 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
     246 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
     247 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
     248 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
     249 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
     250 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
     251 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     252 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
     253 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     254 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     255 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     256 Waveset1        2 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7]
     257 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[7] : 0
     258 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6]
     259 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[6] : 0
     260 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5]
     261 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[5] : 0
     262 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4]
     263 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[4] : 1
     264 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3]
     265 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[3] : 1
     266 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2]
     267 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[2] : 0
     268 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1]
     269 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! A[1] : 0
     270 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0]
     271 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
     272 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     273 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     274 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     275 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     276 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     277 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end start condition 
     278 Waveset1        5 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6]
     279 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[6] : 1
     280 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5]
     281 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[5] : 0
     282 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4]
     283 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[4] : 1
     284 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3]
     285 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[3] : 0
     286 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2]
     287 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[2] : 0
     288 Waveset1       10 :   000010 0UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1]
     289 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! S[1] : 0
     290 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0]
     291 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! S[0] : 1
! ==> end slave address 
     292 Waveset1       10 :   000010 0UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     293 Waveset1        2 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
     294 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     295 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     296 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     297 Waveset1        2 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     298 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; ! D[7] : U
     299 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     300 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; ! D[6] : U
     301 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     302 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; ! D[5] : U
     303 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     304 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; ! D[4] : U
     305 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     306 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[3] : H
     307 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     308 Waveset1        2 :   000010 1UUUUUUU H11 H1UUUZ 0111 UUX; ! D[2] : H
     309 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     310 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[1] : L
     311 Waveset1       10 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     312 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! D[0] : L
! ==> end write data 
     313 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
     314 Waveset1        2 :   000010 1UUUUUUU L11 H1UUUZ 0111 UUX; ! 
     315 Waveset1        4 :   000010 0UUUUUUU U11 H1UUUZ 0111 UUX; ! 
! ==> end ACK/NACK condition 
     316 Waveset1        2 :   000010 1UUUUUUU 011 H1UUUZ 0111 UUX; ! 
     317 Waveset1        5 :   000010 1UUUUUUU 111 H1UUUZ 0111 UUX; ! 
     318 Waveset1        2 :   000010 1UUUUUUU U11 H1UUUZ 0111 UUX; !  RD(h19,h0C,h0F)  
! ==> end stop condition 
     319 Waveset1    16668 :   000010 UUUUUUUU U11 H1UUUZ 0111 UUX; !  ==> Sleep operation for        2 ms  
!//< note 50%
