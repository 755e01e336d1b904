<?xml version="1.0"?>
<?xpl version=1.0?>
<xpl>
  <Entry>
    <URL>file:///m/a.mp3</URL>
    <Title>Song</Title>
    <Author>Band</Author>
    <Duration_Type>Verified</Duration_Type>
    <Duration>215.500000</Duration>
    <Token Name="genre">rock</Token>
    <ScanCompletedness>CompleteScan</ScanCompletedness>
  </Entry>
  <Entry>
    <URL>http://radio.example/stream</URL>
    <Duration_Type>Infinite</Duration_Type>
  </Entry>
  <Entry>
    <URL>file://../rel.mp3</URL>
  </Entry>
</xpl>
